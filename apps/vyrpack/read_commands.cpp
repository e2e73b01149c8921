// list, cat and verify: commands that only read a package.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_error.h"
#include "commands.h"
#include "json_text.h"
#include "open_package.h"
#include "package/container/entry_name.h"

namespace vyr::pack {

namespace {

constexpr int64_t kChunk = 65536;

// Reads a stream to its end, handing each chunk to sink; returns the byte count.
template <class Sink>
int64_t Drain(TStream& stream, Sink&& sink) {
  std::vector<char> chunk(kChunk);
  int64_t total = 0;
  for (int64_t got; (got = stream.Read(chunk.data(), kChunk)) > 0; total += got)
    sink(chunk.data(), got);
  return total;
}

void PrintJson(const TVyrUnpack& package) {
  std::string out = "[";
  const auto& entries = package.Directory()->Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& entry = entries[i];
    const auto location = package.Locate(entry);
    out += i ? ",\n " : "\n ";
    out += "{\"name\": " + JsonString(RecoverEntryName(entry.section)) +
           ", \"section\": " + JsonString(entry.section) +
           ", \"method\": " + std::to_string(entry.method) +
           ", \"size\": " + std::to_string(entry.size) +
           ", \"offset\": " + std::to_string(location.offset) + "}";
  }
  out += entries.empty() ? "]\n" : "\n]\n";
  std::fputs(out.c_str(), stdout);
}

}  // namespace

int ListCommand(const TArgs& args) {
  bool json = false;
  std::vector<std::string> positional;
  for (const auto& arg : args) {
    if (arg == "--json") {
      json = true;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 1) throw ECliError(kExitTrouble, "usage: vyrpack list [--json] PACKAGE");
  const auto package = OpenPackage(positional[0]);
  if (json) {
    PrintJson(*package);
    return 0;
  }
  for (const auto& entry : package->Directory()->Entries()) {
    std::printf("%s\t%d\t%lld\t%lld\n", RecoverEntryName(entry.section).c_str(), entry.method,
                static_cast<long long>(entry.size),
                static_cast<long long>(package->Locate(entry).offset));
  }
  return 0;
}

int CatCommand(const TArgs& args) {
  if (args.size() != 2) throw ECliError(kExitTrouble, "usage: vyrpack cat PACKAGE ENTRY");
  const auto package = OpenPackage(args[0]);
  const auto stream = package->OpenEntry(args[1]);
  if (!stream) throw ECliError(kExitFailed, "no entry " + args[1]);
  Drain(*stream, [](const char* data, int64_t count) {
    if (std::fwrite(data, 1, static_cast<size_t>(count), stdout) != static_cast<size_t>(count))
      throw ECliError(kExitTrouble, "cannot write to standard output");
  });
  std::fflush(stdout);
  return 0;
}

int VerifyCommand(const TArgs& args) {
  if (args.size() != 1) throw ECliError(kExitTrouble, "usage: vyrpack verify PACKAGE");
  const auto package = OpenPackage(args[0]);
  const auto& entries = package->Directory()->Entries();
  size_t failed = 0;
  for (const auto& entry : entries) {
    const std::string name = RecoverEntryName(entry.section);
    try {
      const auto stream = OpenStoredEntry(*package, entry.section);
      const int64_t size = stream->Size();
      const int64_t read = Drain(*stream, [](const char*, int64_t) {});
      if (read != size)
        throw ECliError(kExitFailed,
                        "read " + std::to_string(read) + " of " + std::to_string(size) + " bytes");
    } catch (const std::exception& error) {
      ++failed;
      std::fprintf(stderr, "vyrpack: %s: %s\n", name.c_str(), error.what());
    }
  }
  if (failed) {
    std::printf("%zu of %zu entries failed\n", failed, entries.size());
    return kExitFailed;
  }
  std::printf("%zu entries verified\n", entries.size());
  return 0;
}

}  // namespace vyr::pack
