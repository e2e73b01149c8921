// extract: every entry into a folder under a safe relative path, plus manifest.txt.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli_error.h"
#include "commands.h"
#include "open_package.h"
#include "package/container/entry_name.h"
#include "safe_path.h"

namespace vyr::pack {

namespace {

constexpr const char* kManifest = "manifest.txt";

void WriteAll(int fd, const char* data, size_t count, const std::string& path) {
  while (count > 0) {
    const ssize_t put = ::write(fd, data, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0)
      throw ECliError(kExitFailed, "cannot write " + path + ": " + std::strerror(errno));
    data += put;
    count -= static_cast<size_t>(put);
  }
}

// Copies the stream into a new file; the descriptor is closed in every case.
void CopyToFile(TStream& stream, int fd, const std::string& path) {
  std::vector<char> chunk(65536);
  try {
    for (int64_t got; (got = stream.Read(chunk.data(), 65536)) > 0;)
      WriteAll(fd, chunk.data(), static_cast<size_t>(got), path);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) throw ECliError(kExitFailed, "cannot write " + path);
}

}  // namespace

int ExtractCommand(const TArgs& args) {
  if (args.size() != 2) throw ECliError(kExitTrouble, "usage: vyrpack extract PACKAGE DIR");
  const auto package = OpenPackage(args[0]);
  const TExtractFolder folder(args[1]);
  TUniquePaths paths;
  paths.Reserve(kManifest);
  std::string manifest;
  size_t failed = 0, written = 0;
  for (const auto& entry : package->Directory()->Entries()) {
    const std::string name = RecoverEntryName(entry.section);
    const std::string path = paths.Claim(SafeRelativePath(name));
    try {
      const auto stream = OpenStoredEntry(*package, entry.section);
      CopyToFile(*stream, folder.CreateFile(path), path);
      manifest += name + "\t" + path + "\n";
      ++written;
    } catch (const std::exception& error) {
      ++failed;
      std::fprintf(stderr, "vyrpack: %s: %s\n", name.c_str(), error.what());
    }
  }
  const int fd = folder.CreateFile(kManifest);
  WriteAll(fd, manifest.data(), manifest.size(), kManifest);
  ::close(fd);
  std::printf("extracted %zu entries into %s\n", written, args[1].c_str());
  return failed ? kExitFailed : 0;
}

}  // namespace vyr::pack
