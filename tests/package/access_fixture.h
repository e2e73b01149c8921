#pragma once
// Helpers for the file-access tests: pictures written by code, packages written by the
// package writer, and environment variables set for one test only.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/stream.h"
#include "package/container/deflate_writer.h"
#include "package/container/package_writer.h"
#include "package_fixture.h"

namespace vyr::test {

inline void PutLe(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 24-bit bottom-up BMP; pixel(x, y) gives 0x00RRGGBB with y counted from the top.
inline std::string MakeBmp(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string out = "BM";
  PutLe(out, 54 + static_cast<uint64_t>(stride) * height, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(width), 4);
  PutLe(out, static_cast<uint32_t>(height), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  for (int i = 0; i < 6; ++i) PutLe(out, 0, 4);
  for (int row = height - 1; row >= 0; --row) {
    std::string line;
    for (int x = 0; x < width; ++x) PutLe(line, pixel(x, row), 3);
    line.resize(static_cast<size_t>(stride), '\0');
    out += line;
  }
  return out;
}

inline std::string FlatBmp(int width, int height, uint32_t rgb) {
  return MakeBmp(width, height, [rgb](int, int) { return rgb; });
}

// The show container: "QZGF", named fields, then the raw-deflated BMP.
inline std::string MakeGfxContainer(const std::string& fileName, int width, int height,
                                    const std::string& bmp) {
  std::string out = "QZGF";
  const std::vector<std::pair<std::string, std::string>> fields = {
      {"File", fileName},
      {"Width", std::to_string(width)},
      {"Height", std::to_string(height)},
      {"OriginalSize", std::to_string(bmp.size())}};
  PutLe(out, fields.size(), 2);
  for (const auto& [name, value] : fields) {
    PutLe(out, name.size(), 2);
    out += name;
    PutLe(out, value.size(), 2);
    out += value;
  }
  TMemoryStream source(std::vector<uint8_t>(bmp.begin(), bmp.end()));
  auto target = MakeRef<TMemoryStream>();
  DeflateRaw(source, *target);
  out.append(reinterpret_cast<const char*>(target->Memory()), static_cast<size_t>(target->Size()));
  return out;
}

struct TEntrySpec {
  std::string name;
  std::string bytes;
  TPackMethod method = TPackMethod::Stored;
};

inline void WritePackage(const std::string& path, const std::vector<TEntrySpec>& entries) {
  auto file = MakeRef<TFileStream>(path, TFileStream::Mode::Create);
  TPackageWriter writer(file, {});
  for (const auto& entry : entries) writer.AddEntry(entry.name, entry.bytes, entry.method);
  writer.Finish();
}

// Sets (or, with none, unsets) an environment variable until the end of the scope.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }
  ~TScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace vyr::test
