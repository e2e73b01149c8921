#include "foundation/exceptions.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace vyr {

namespace {
std::mutex gHookLock;
std::function<void(const std::string&)> gAssertionHook;
}  // namespace

std::string ClassNameOf(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  std::string name = (status == 0 && demangled) ? demangled.get() : type.name();
  const auto colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

std::string TCommonException::DefaultMessage(std::string_view className) {
  return "Tarvik Exception: \"" + std::string(className) + "\"";
}

std::string AssertionMessage(std::string_view message, std::string_view unitPath, int line) {
  return "Asseertion with message: '" + std::string(message) + "' (" + std::string(unitPath) +
         ", line: " + std::to_string(line) + ")";
}

void SetAssertionHook(std::function<void(const std::string&)> hook) {
  std::lock_guard lock(gHookLock);
  gAssertionHook = std::move(hook);
}

std::string UnitPathOf(std::string_view file) {
  const auto src = file.rfind("src/");
  if (src != std::string_view::npos) file.remove_prefix(src + 4);
  const auto dot = file.rfind('.');
  if (dot != std::string_view::npos) file = file.substr(0, dot);
  return std::string(file);
}

void AssertionFailed(std::string_view message, const char* file, int line) {
  const std::string text = AssertionMessage(message, UnitPathOf(file), line);
  std::fprintf(stderr, "%s\n", text.c_str());
  std::function<void(const std::string&)> hook;
  {
    std::lock_guard lock(gHookLock);
    hook = gAssertionHook;
  }
  if (hook) hook(text);
  throw EAssertionFailed(text);
}

}  // namespace vyr
