#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "imaging/decode/bmp_reader.h"
#include "imaging/decode/decoder_registry.h"
#include "picture_tools.h"

namespace vyr {
namespace {

using namespace vyr::testing;

struct TBmpHeader {
  uint16_t bits;
  uint32_t compression;
};
TBmpHeader HeaderOf(const std::vector<uint8_t>& file) {
  TBmpHeader h;
  std::memcpy(&h.bits, &file[28], 2);
  std::memcpy(&h.compression, &file[30], 4);
  return h;
}

TEST(BmpReader, DecodesWhatImageMagickWrites) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  struct Case {
    const char* args;
    uint16_t bits;
    uint32_t compression;
  };
  const Case cases[] = {
      {"rose: -type bilevel", 1, 0},
      {"rose: -colors 16 -compress none", 4, 0},
      {"rose: -colors 200 -compress none", 8, 0},
      {"rose: -colors 200 -compress RLE", 8, 1},
      {"rose:", 24, 0},
      {"rose: -alpha set -channel A -fx 'i/w' +channel", 32, 3},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string file = dir + "/v" + std::to_string(n++) + ".bmp";
    RunTool(std::string(kConvert) + " " + c.args + " " + file);
    const auto bytes = ReadFile(file);
    const TBmpHeader h = HeaderOf(bytes);
    ASSERT_EQ(h.bits, c.bits) << c.args;
    ASSERT_EQ(h.compression, c.compression) << c.args;
    auto image = DecodeFile(file);
    ASSERT_TRUE(image) << c.args;
    const TDiff d = Compare(BitmapRgba(*image->Bitmap()), MagickRgba(file));
    EXPECT_EQ(d.max, 0) << c.args;
  }
}

// 16-bit pixels widen by shifting (31 -> 248), not by scaling as ImageMagick does.
TEST(BmpReader, SixteenBitPixelsWidenByShifting) {
  VYR_REQUIRE_TOOL(kConvert);
  VYR_REQUIRE_TOOL("/usr/bin/ffmpeg");
  const std::string dir = TempDir();
  const std::string source = dir + "/rose.png";
  RunTool(std::string(kConvert) + " rose: " + source);
  struct Case {
    std::string command;
    int greenBits;
  };
  const Case cases[] = {
      {std::string(kConvert) + " rose: -define bmp:subtype=RGB565 " + dir + "/a.bmp", 6},
      {std::string(kConvert) + " rose: -define bmp:subtype=RGB555 " + dir + "/b.bmp", 5},
      {"ffmpeg -y -i " + source + " -pix_fmt rgb555le " + dir + "/c.bmp", 5},
      {"ffmpeg -y -i " + source + " -pix_fmt rgb565le " + dir + "/d.bmp", 6},
  };
  for (const auto& c : cases) {
    RunTool(c.command);
    const std::string file = c.command.substr(c.command.rfind(' ') + 1);
    auto image = DecodeFile(file);
    ASSERT_TRUE(image) << file;
    const auto got = BitmapRgba(*image->Bitmap());
    const auto theirs = MagickRgba(file);
    ASSERT_EQ(got.size(), theirs.size());
    for (size_t i = 0; i < got.size(); ++i) {
      const int channel = static_cast<int>(i % 4);
      if (channel == 3) {
        EXPECT_EQ(got[i], 255);
        continue;
      }
      const int bits = channel == 1 ? c.greenBits : 5;
      const int max = (1 << bits) - 1;
      const int value = static_cast<int>(std::lround(theirs[i] * max / 255.0));
      ASSERT_EQ(got[i], value << (8 - bits)) << file << " byte " << i;
    }
  }
}

// A small RLE4 writer from the BMP format: no Debian tool writes RLE4.
std::vector<uint8_t> Rle4Bmp(int width, int height, const std::vector<uint8_t>& rle,
                             const std::vector<uint32_t>& palette) {
  std::vector<uint8_t> f(54 + palette.size() * 4);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&f[at], &v, 2); };
  f[0] = 'B';
  f[1] = 'M';
  put32(10, static_cast<uint32_t>(f.size()));
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, 4);
  put32(30, 2);
  put32(46, static_cast<uint32_t>(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i) put32(54 + i * 4, palette[i]);
  f.insert(f.end(), rle.begin(), rle.end());
  put32(2, static_cast<uint32_t>(f.size()));
  return f;
}

uint32_t PixelRgb(const TBitmap& b, int x, int y) {
  const uint8_t* p = b.Row(y) + x * 3;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

TEST(BmpReader, Rle4RunsAbsoluteRunsDeltasAndOverlongRuns) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  // Bottom row (file row 0): a run of 5 alternating 1,2; then an absolute run 3,3,1 (padded).
  // Row 1: delta (2, 0) then a run of 9 pixels of 3 that passes the row end (cut at 6).
  const std::vector<uint8_t> rle = {5, 0x12, 0, 3, 0x33, 0x10, 0, 0, 0,
                                    2, 2,    0, 9, 0x33, 0,    0, 0, 1};
  auto stream = MakeRef<TMemoryStream>(Rle4Bmp(6, 2, rle, palette));
  auto b = ReadBmp(*stream);
  ASSERT_TRUE(b);
  const uint32_t bottom[6] = {0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0xFF0000, 0x0000FF};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelRgb(*b, x, 1), bottom[x]) << x;
  EXPECT_EQ(PixelRgb(*b, 5, 1), 0x0000FFu);  // absolute run: 3, 3 would pass the end: cut
  EXPECT_EQ(PixelRgb(*b, 0, 0), 0u);         // skipped by the delta
  EXPECT_EQ(PixelRgb(*b, 2, 0), 0x0000FFu);
  EXPECT_EQ(PixelRgb(*b, 5, 0), 0x0000FFu);
}

TEST(BmpReader, TopDownEqualsBottomUp) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string file = TempDir() + "/up.bmp";
  RunTool(std::string(kConvert) + " rose: -colors 50 -compress none " + file);
  auto bytes = ReadFile(file);
  // Turn it top-down: negative height, rows in the other order.
  uint32_t offset;
  int32_t width, height;
  std::memcpy(&offset, &bytes[10], 4);
  std::memcpy(&width, &bytes[18], 4);
  std::memcpy(&height, &bytes[22], 4);
  const size_t stride = (8 * width + 31) / 32 * 4;
  std::vector<uint8_t> down = bytes;
  for (int r = 0; r < height; ++r)
    std::memcpy(&down[offset + r * stride], &bytes[offset + (height - 1 - r) * stride], stride);
  const int32_t negative = -height;
  std::memcpy(&down[22], &negative, 4);
  auto a = ReadBmp(*MakeRef<TMemoryStream>(bytes));
  auto b = ReadBmp(*MakeRef<TMemoryStream>(down));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(BitmapRgba(*a), BitmapRgba(*b));
}

TEST(BmpReader, BadInputFailsCleanlyAndRestoresThePosition) {
  // A 65535 x 65535 24-bit header with 12 bytes of pixel data.
  std::vector<uint8_t> huge(54 + 12, 0);
  huge[0] = 'B';
  huge[1] = 'M';
  const uint32_t fileSize = static_cast<uint32_t>(huge.size()), offset = 54, info = 40;
  const int32_t side = 65535;
  const uint16_t planes = 1, bits = 24;
  std::memcpy(&huge[2], &fileSize, 4);
  std::memcpy(&huge[10], &offset, 4);
  std::memcpy(&huge[14], &info, 4);
  std::memcpy(&huge[18], &side, 4);
  std::memcpy(&huge[22], &side, 4);
  std::memcpy(&huge[26], &planes, 2);
  std::memcpy(&huge[28], &bits, 2);

  std::vector<std::vector<uint8_t>> bad = {huge, {'B', 'M', 1, 2}, {}};
  auto wrongPlanes = huge;
  wrongPlanes[26] = 2;
  bad.push_back(wrongPlanes);
  auto longerThanFile = huge;
  longerThanFile[2] = 0xFF;  // declares more bytes than there are
  bad.push_back(longerThanFile);
  // RLE8 claiming a picture far beyond anything its 4 bytes could fill.
  auto rle = huge;
  rle[28] = 8;
  rle[30] = 1;
  bad.push_back(rle);
  for (size_t i = 0; i < bad.size(); ++i) {
    auto stream = MakeRef<TMemoryStream>(std::vector<uint8_t>(3, 0));
    stream->Seek(stream->Size());
    stream->Write(bad[i].data(), static_cast<int64_t>(bad[i].size()));
    stream->Seek(3);
    EXPECT_FALSE(ReadBmp(*stream)) << i;
    EXPECT_EQ(stream->Position(), 3) << i;
  }
}

TEST(BmpReader, ShortPaletteLeavesMissingEntriesBlack) {
  // 2 x 1 8-bit picture, colours used 300 but only one entry present before the pixels.
  std::vector<uint8_t> f(54 + 4 + 4, 0);
  f[0] = 'B';
  f[1] = 'M';
  const uint32_t size = static_cast<uint32_t>(f.size()), offset = 58, info = 40, used = 300;
  const int32_t w = 2, h = 1;
  const uint16_t planes = 1, bits = 8;
  std::memcpy(&f[2], &size, 4);
  std::memcpy(&f[10], &offset, 4);
  std::memcpy(&f[14], &info, 4);
  std::memcpy(&f[18], &w, 4);
  std::memcpy(&f[22], &h, 4);
  std::memcpy(&f[26], &planes, 2);
  std::memcpy(&f[28], &bits, 2);
  std::memcpy(&f[46], &used, 4);
  f[54] = 10, f[55] = 20, f[56] = 30;  // entry 0
  f[58] = 0, f[59] = 7;                // pixels: entry 0, entry 7
  auto b = ReadBmp(*MakeRef<TMemoryStream>(f));
  ASSERT_TRUE(b);
  EXPECT_EQ(PixelRgb(*b, 0, 0), 0x1E140Au);
  EXPECT_EQ(PixelRgb(*b, 1, 0), 0u);
}

}  // namespace
}  // namespace vyr
