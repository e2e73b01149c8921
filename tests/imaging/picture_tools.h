#pragma once
// Test helpers: Debian's picture tools write fixtures and decode them independently.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap.h"
#include "imaging/decode/decoder_registry.h"

namespace vyr::testing {

inline const char* kConvert = "/usr/bin/convert";  // ImageMagick itself, not a stand-in

inline bool HaveTool(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

#define VYR_REQUIRE_TOOL(path) \
  if (!::vyr::testing::HaveTool(path)) GTEST_SKIP() << path << " is not installed"

// A fresh folder per test.
inline std::string TempDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const auto dir =
      std::filesystem::temp_directory_path() /
      ("vyr_img_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" + info->name());
  std::filesystem::create_directories(dir);
  return dir.string();
}

inline void RunTool(const std::string& command) {
  ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// ImageMagick's decode of the file's first picture as R, G, B, A bytes.
inline std::vector<uint8_t> MagickRgba(const std::string& file) {
  const std::string out = file + ".rgba";
  std::system((std::string(kConvert) + " '" + file + "[0]' -depth 8 rgba:'" + out + "'").c_str());
  return ReadFile(out);
}

// A bitmap's pixels as R, G, B, A bytes.
inline std::vector<uint8_t> BitmapRgba(const TBitmap& bitmap) {
  auto rgba = MakeRef<TDirectBitmap>(bitmap.Width(), bitmap.Height(), PixelFormat("A8B8G8R8"));
  rgba->CopyRect({0, 0, bitmap.Width(), bitmap.Height()}, bitmap, {0, 0});
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    out.insert(out.end(), rgba->Row(y), rgba->Row(y) + rgba->RowBytes());
  return out;
}

struct TDiff {
  int max = 0;
  double mean = 0;
};
inline TDiff Compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                     bool withAlpha = true) {
  TDiff d;
  if (a.size() != b.size()) return {999, 999};
  int64_t sum = 0, n = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!withAlpha && i % 4 == 3) continue;
    const int diff = std::abs(int{a[i]} - int{b[i]});
    d.max = std::max(d.max, diff);
    sum += diff;
    ++n;
  }
  d.mean = n ? static_cast<double>(sum) / static_cast<double>(n) : 0;
  return d;
}

inline TRef<TImage> DecodeFile(const std::string& path, const std::string& name = "") {
  auto stream = MakeRef<TMemoryStream>(ReadFile(path));
  return DecodePicture(TRef<TStream>(stream), name.empty() ? path : name);
}

}  // namespace vyr::testing
