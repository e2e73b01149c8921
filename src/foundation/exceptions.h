#pragma once
// The program's own exception classes and the assertion that reports programming errors.

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>

namespace vyr {

// Readable class name of a polymorphic object ("TMemoryStream" rather than a mangled name).
std::string ClassNameOf(const std::type_info& type);
template <class T>
std::string ClassNameOf(const T& object) {
  return ClassNameOf(typeid(object));
}

class TCommonException : public std::runtime_error {
 public:
  explicit TCommonException(const std::string& message) : std::runtime_error(message) {}
  // The default message: "Tarvik Exception: " and the class name in double quotes.
  static std::string DefaultMessage(std::string_view className);
};

// Declares an exception class derived from Base whose default message names the class.
#define VYR_DECLARE_EXCEPTION(Name, Base)                            \
  class Name : public Base {                                         \
   public:                                                           \
    Name() : Base(::vyr::TCommonException::DefaultMessage(#Name)) {} \
    explicit Name(const std::string& message) : Base(message) {}     \
  }

VYR_DECLARE_EXCEPTION(EAssertionFailed, TCommonException);
VYR_DECLARE_EXCEPTION(EStreamError, TCommonException);
VYR_DECLARE_EXCEPTION(EStreamReadError, EStreamError);
VYR_DECLARE_EXCEPTION(EStreamWriteError, EStreamError);
VYR_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
VYR_DECLARE_EXCEPTION(EConvertError, TCommonException);

// Assertion message: "Asseertion with message: '<msg>' (<unit>, line: <n>)".
std::string AssertionMessage(std::string_view message, std::string_view unitPath, int line);
// Optional hook called with the message before the exception is raised.
void SetAssertionHook(std::function<void(const std::string&)> hook);
[[noreturn]] void AssertionFailed(std::string_view message, const char* file, int line);
// The unit path of a source file: its path below src/ without extension.
std::string UnitPathOf(std::string_view file);

}  // namespace vyr

#define VYR_ASSERT_MSG(cond, msg)                                   \
  do {                                                              \
    if (!(cond)) ::vyr::AssertionFailed((msg), __FILE__, __LINE__); \
  } while (0)
#define VYR_ASSERT(cond) VYR_ASSERT_MSG(cond, "Assertion failure")
