// The BMP writer: what it writes reads back identically through our reader and ImageMagick,
// 24 bits for opaque pictures, 32 bits with the alpha kept.
#include <gtest/gtest.h>

#include "imaging/bitmap/bmp_writer.h"
#include "imaging/decode/bmp_reader.h"
#include "picture_tools.h"

namespace vyr {
namespace {

using namespace vyr::testing;

// Odd widths exercise the row padding; every pixel differs from its neighbours.
TRef<TDirectBitmap> Pattern(int width, int height, const TPixelFormat* format) {
  auto bitmap = MakeRef<TDirectBitmap>(width, height, pf::A8R8G8B8());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap->Row(y) + 4 * x;
      p[0] = static_cast<uint8_t>(x * 37 + y);  // blue
      p[1] = static_cast<uint8_t>(y * 53);      // green
      p[2] = static_cast<uint8_t>(x * 11 + 200);
      p[3] = static_cast<uint8_t>(255 - x * 7 - y);
    }
  auto out = MakeRef<TDirectBitmap>(width, height, format);
  out->CopyRect({0, 0, width, height}, *bitmap, {0, 0});
  return out;
}

TEST(BmpWriter, ReadsBackIdenticallyThroughOurReaderAndImageMagick) {
  VYR_REQUIRE_TOOL(kConvert);
  struct Case {
    const TPixelFormat* format;
    int bits;
  };
  for (const Case& c : {Case{pf::R8G8B8(), 24}, Case{pf::A8R8G8B8(), 32}}) {
    SCOPED_TRACE(c.bits);
    const TRef<TDirectBitmap> picture = Pattern(7, 5, c.format);
    const std::vector<uint8_t> bytes = EncodeBmp(*picture);
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(bytes[28] | bytes[29] << 8, c.bits);
    EXPECT_EQ(uint32_t{bytes[2]} | uint32_t{bytes[3]} << 8 | uint32_t{bytes[4]} << 16,
              bytes.size());

    TMemoryStream stream(bytes);
    TRef<TDirectBitmap> back = ReadBmp(stream);
    ASSERT_TRUE(back);
    EXPECT_EQ(Compare(BitmapRgba(*back), BitmapRgba(*picture), c.bits == 32).max, 0);

    const std::string file = TempDir() + "/picture.bmp";
    WriteFile(file, bytes);
    EXPECT_EQ(Compare(MagickRgba(file), BitmapRgba(*picture), c.bits == 32).max, 0);
  }
}

}  // namespace
}  // namespace vyr
