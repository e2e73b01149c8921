#pragma once
// Helpers for package tests: a private temporary folder and whole-file reads and writes.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "foundation/stream.h"

namespace vyr::test {

class TTempDir {
 public:
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyrpkg-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Everything a stream yields from its position on.
inline std::string ReadAll(TStream& stream) {
  const auto bytes = stream.ReadRest();
  return std::string(bytes.begin(), bytes.end());
}

// Bytes that differ from place to place, so a wrong offset shows.
inline std::string PatternBytes(size_t size, uint32_t seed = 1) {
  std::string bytes(size, '\0');
  uint32_t state = seed * 2654435761u + 12345u;
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

}  // namespace vyr::test
