#include "package/container/program_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "package/container/package_trailer.h"

namespace vyr {

bool IsProgramFile(const std::string& path) {
  // Only a regular file: opening a FIFO would wait for a writer.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  char head[4] = {};
  if (!file.read(head, sizeof head)) return false;
  return std::memcmp(head, "MZ", 2) == 0 || std::memcmp(head,
                                                        "\x7f"
                                                        "ELF",
                                                        4) == 0;
}

bool IsProgramWithoutShow(const std::string& path) {
  if (!IsProgramFile(path)) return false;
  TRef<TFileStream> file = TFileStream::TryOpen(path, TFileStream::Mode::Read);
  return file && ReadPackageTrailer(*file).status == TPackageTrailer::Status::NoPackage;
}

}  // namespace vyr
