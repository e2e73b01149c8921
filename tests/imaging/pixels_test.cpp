#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "foundation/exceptions.h"
#include "imaging/bitmap/bitmap.h"
#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/colour.h"
#include "imaging/bitmap/pixel_converter.h"
#include "imaging/bitmap/pixel_format.h"

namespace vyr {
namespace {

TEST(PixelFormat, NamesParseIntoChannelsLeastSignificantFirst) {
  const TPixelFormat* argb = PixelFormat("A8R8G8B8");
  ASSERT_EQ(argb->Channels().size(), 4u);
  EXPECT_EQ(argb->Channels()[0].code, TChannelCode::B);
  EXPECT_EQ(argb->Channels()[3].code, TChannelCode::A);
  EXPECT_EQ(argb->Channels()[3].shift, 24);
  EXPECT_EQ(argb->BytesPerPixel(), 4);
  EXPECT_TRUE(argb->HasAlpha());
  EXPECT_FALSE(argb->Premultiplied());
  EXPECT_FALSE(argb->BitPacked());

  EXPECT_TRUE(PixelFormat("A8r8g8b8")->Premultiplied());
  EXPECT_TRUE(PixelFormat("B5G6R5")->BitPacked());
  EXPECT_EQ(PixelFormat("B5G6R5")->BytesPerPixel(), 2);
  EXPECT_TRUE(PixelFormat("Y8")->HasAlpha());  // luminance is stored like alpha
  EXPECT_EQ(PixelFormat("X4R4G4B4"), FindPixelFormat("X4R4G4B4"));  // one object per name
  for (const char* bad : {"", "Q8", "R", "R0G8", "A8R8G8B8X8", "R8G"})
    EXPECT_EQ(FindPixelFormat(bad), nullptr) << bad;
}

std::vector<uint8_t> Convert(const char* from, const char* to, std::vector<uint8_t> in) {
  const TPixelFormat* src = PixelFormat(from);
  const TPixelFormat* dst = PixelFormat(to);
  const int count = static_cast<int>(in.size()) / src->BytesPerPixel();
  std::vector<uint8_t> out(static_cast<size_t>(count) * dst->BytesPerPixel(), 0xCC);
  GetPixelConverter(src, dst)->Convert(out.data(), in.data(), count);
  return out;
}

TEST(PixelConverter, ConvertsBetweenFormats) {
  struct Case {
    const char* from;
    const char* to;
    std::vector<uint8_t> in;
    std::vector<uint8_t> out;
  };
  const Case cases[] = {
      // Memory order is the name reversed: A8R8G8B8 is B, G, R, A.
      {"A8R8G8B8", "R8G8B8", {1, 2, 3, 4}, {1, 2, 3}},
      {"R8G8B8", "A8R8G8B8", {1, 2, 3}, {1, 2, 3, 255}},
      {"R8G8B8", "B8G8R8", {1, 2, 3}, {3, 2, 1}},
      {"A8R8G8B8", "A8B8G8R8", {1, 2, 3, 4}, {3, 2, 1, 4}},
      {"R8G8B8", "X8B8G8R8", {1, 2, 3}, {3, 2, 1, 0}},
      {"R8G8B8", "A8", {1, 2, 3}, {255}},
      {"Y8", "R8G8B8", {7, 9}, {7, 7, 7, 9, 9, 9}},
      {"A8R8G8B8", "A8r8g8b8", {0xFF, 0xFF, 0xFF, 0x00}, {0, 0, 0, 0}},
      {"A8R8G8B8", "A8r8g8b8", {0x00, 0x00, 0xFF, 0x80}, {0x00, 0x00, 0x7F, 0x80}},
      {"A8R8G8B8", "A8r8g8b8", {10, 20, 30, 255}, {10, 20, 30, 255}},
      // 16-bit pixels widen by shifting: 31 -> 248, 63 -> 252.
      {"B5G6R5", "R8G8B8", {0xFF, 0xFF}, {248, 252, 248}},
      {"R5G6B5", "R8G8B8", {0x1F, 0xF8}, {248, 0, 248}},
      {"R5G6B5", "R8G8B8", {0xE0, 0x07}, {0, 252, 0}},
      {"X1R5G5B5", "R8G8B8", {0x1F, 0x7C}, {248, 0, 248}},
      {"X1R5G5B5", "R8G8B8", {0xE0, 0x03}, {0, 248, 0}},
      {"R5G6B5", "A8R8G8B8", {0x00, 0xF8}, {0, 0, 248, 255}},
      {"R8G8B8", "R5G6B5", {0xFF, 0x00, 0xFF}, {0x1F, 0xF8}},
      {"A8R8G8B8", "A4R4G4B4", {0xF0, 0x80, 0x10, 0xFF}, {0x8F, 0xF1}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Convert(c.from, c.to, c.in), c.out) << c.from << "->" << c.to;
}

TEST(PixelConverter, RoundTripThroughRgbGivesOpaqueAlpha) {
  const auto rgb = Convert("A8R8G8B8", "R8G8B8", {10, 20, 30, 40});
  EXPECT_EQ(Convert("R8G8B8", "A8R8G8B8", rgb), (std::vector<uint8_t>{10, 20, 30, 255}));
}

uint32_t PixelAt(const TBitmap& b, int x, int y) {
  uint32_t v = 0;
  std::memcpy(&v, b.Row(y) + x * 4, 4);
  return v;
}

TRef<TBitmap> Argb(int w, int h, uint32_t fill) {
  auto b = MakeRef<TDirectBitmap>(w, h, pf::A8R8G8B8());
  b->FillRect({0, 0, w, h}, fill);
  return b;
}

TEST(Bitmap, CopyRectPremultipliesByShiftOrDivision) {
  auto src = Argb(1, 1, 0x80FF0000);
  auto dst = Argb(1, 1, 0);
  dst->CopyRect({0, 0, 1, 1}, *src, {0, 0}, kPremultiplyShr8);
  EXPECT_EQ(PixelAt(*dst, 0, 0), 0x807F0000u);
  dst->CopyRect({0, 0, 1, 1}, *src, {0, 0}, kPremultiplyDiv255);
  EXPECT_EQ(PixelAt(*dst, 0, 0), 0x80800000u);
  EXPECT_THROW(dst->CopyRect({0, 0, 1, 1}, *src, {0, 0}, 7), EAssertionFailed);
  // Without alpha in the destination no premultiplication happens.
  auto rgb = MakeRef<TDirectBitmap>(1, 1, pf::R8G8B8());
  rgb->CopyRect({0, 0, 1, 1}, *src, {0, 0}, kPremultiplyShr8);
  EXPECT_EQ(rgb->Row(0)[2], 0xFF);
}

TEST(Bitmap, CopyRectClipsBothSidesAndShiftsTheSource) {
  auto src = MakeRef<TDirectBitmap>(4, 4, pf::A8R8G8B8());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src->FillRect({x, y, x + 1, y + 1}, 0xFF000000u | (y * 16 + x));
  auto dst = Argb(3, 3, 0);
  // Destination starts at (-1, -2): only its visible part, from source (s.x + 1, s.y + 2).
  dst->CopyRect({-1, -2, 3, 3}, *src, {0, 0});
  EXPECT_EQ(PixelAt(*dst, 0, 0), 0xFF000021u);
  EXPECT_EQ(PixelAt(*dst, 2, 1), 0xFF000033u);
  EXPECT_EQ(PixelAt(*dst, 0, 2), 0u);  // beyond the source's last row
  // A source point left of the source moves the destination instead.
  auto dst2 = Argb(3, 3, 0);
  dst2->CopyRect({0, 0, 3, 3}, *src, {-1, 0});
  EXPECT_EQ(PixelAt(*dst2, 0, 0), 0u);
  EXPECT_EQ(PixelAt(*dst2, 1, 0), 0xFF000000u);
  EXPECT_EQ(PixelAt(*dst2, 2, 2), 0xFF000021u);
}

TEST(Bitmap, CopyRectReportsProgressAndStops) {
  auto src = Argb(2, 4, 0xFF112233);
  auto dst = MakeRef<TDirectBitmap>(2, 4, pf::R8G8B8());
  std::vector<float> seen;
  dst->SetProgress([&](float f) {
    seen.push_back(f);
    return seen.size() < 3;
  });
  dst->CopyRect({0, 0, 2, 4}, *src, {0, 0});
  EXPECT_EQ(seen, (std::vector<float>{0.0f, 0.25f, 0.5f}));
  EXPECT_EQ(dst->Row(1)[0], 0x33);
  EXPECT_EQ(dst->Row(2)[0], 0);  // stopped before row 2
}

TEST(Bitmap, FillRectConvertsTheColourAndClips) {
  auto b = MakeRef<TDirectBitmap>(1000, 3, PixelFormat("R5G6B5"));
  b->FillRect({-5, 1, 2000, 2}, 0xFFFF0000);
  uint16_t v;
  std::memcpy(&v, b->Row(1) + 999 * 2, 2);
  EXPECT_EQ(v, 0xF800);
  std::memcpy(&v, b->Row(0), 2);
  EXPECT_EQ(v, 0);
  auto rgb = MakeRef<TDirectBitmap>(1500, 1, pf::R8G8B8());  // a row longer than the pattern
  rgb->FillRect({0, 0, 1500, 1}, 0x00102030);
  EXPECT_EQ(rgb->Row(0)[1499 * 3], 0x30);
  EXPECT_EQ(rgb->Row(0)[1499 * 3 + 2], 0x10);
}

TEST(Bitmap, RowReadsCheckTheirBounds) {
  auto b = Argb(3, 2, 0xFF010203);
  uint8_t buf[16] = {};
  EXPECT_EQ(b->GetPixels(buf, 3, 10, 1, 1, 1), 8);  // two pixels left in the row
  EXPECT_EQ(buf[4], 3);
  EXPECT_EQ(b->GetPixels32(buf, 3, 3, 0, 0, 0), 12);
  try {
    b->GetPixels(buf, 3, 1, 2, 0, 0);
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_NE(std::string(e.what()).find("TDirectBitmap.GetPixels (X,Y) out of Bitmap.Size"),
              std::string::npos);
  }
  EXPECT_THROW(b->GetPixels(buf, 3, 1, 0, 0, -1), EAssertionFailed);
  EXPECT_THROW(b->GetPixels(buf, 1, 3, 0, 0, 0), EAssertionFailed);    // buffer too small
  EXPECT_THROW(b->GetPixels24(buf, 3, 1, 0, 0, 0), EAssertionFailed);  // not a 3-byte format
}

TEST(Bitmap, ViewsAndWrappersShareRows) {
  auto direct = MakeRef<TDirectBitmap>(4, 3, pf::A8R8G8B8());
  auto wrapper = MakeRef<TSysDirectWrapper>(direct.Get(), true);
  auto crop = MakeRef<TCropBitmap>(*wrapper, TRect{2, 1, 10, 10});
  EXPECT_EQ(crop->Width(), 2);
  EXPECT_EQ(crop->Height(), 2);
  crop->FillRect({0, 0, 1, 1}, 0xFFABCDEF);
  EXPECT_EQ(PixelAt(*direct, 2, 1), 0xFFABCDEFu);
  EXPECT_TRUE(crop->IsKindOf(TBitmapClass::RefBitmap));
  EXPECT_FALSE(crop->IsKindOf(TBitmapClass::DirectBitmap));
  EXPECT_THROW(MakeRef<TCropBitmap>(*wrapper, TRect{4, 0, 6, 2}), EAssertionFailed);
  EXPECT_THROW(MakeRef<TSysDirectWrapper>(nullptr, false), EAssertionFailed);
  EXPECT_THROW(MakeRef<TSysBitmap>(2, 2, pf::R8G8B8(), TScanLines(1)), EAssertionFailed);

  auto clone = crop->Clone();  // a crop cannot be made by the factory: a TSysBitmap copy
  ASSERT_TRUE(clone);
  EXPECT_TRUE(clone->IsKindOf(TBitmapClass::SysBitmap));
  EXPECT_EQ(PixelAt(*clone, 0, 0), 0xFFABCDEFu);
  EXPECT_EQ(direct->Clone()->Class(), TBitmapClass::DirectBitmap);
}

TEST(BitmapFactory, MakesWrappersOrDirectBitmapsByWantedClass) {
  EXPECT_EQ(CreateBitmap(2, 2, pf::R8G8B8(), nullptr, nullptr, TBitmapClass::Any)->Class(),
            TBitmapClass::SysDirectWrapper);
  EXPECT_EQ(CreateBitmap(2, 2, pf::R8G8B8(), nullptr, nullptr, TBitmapClass::SysBitmap)->Class(),
            TBitmapClass::SysDirectWrapper);
  EXPECT_EQ(CreateBitmap(2, 2, pf::R8G8B8(), nullptr, nullptr, TBitmapClass::DirectBitmap)->Class(),
            TBitmapClass::DirectBitmap);
  EXPECT_FALSE(CreateBitmap(2, 2, pf::R8G8B8(), nullptr, nullptr, TBitmapClass::RefBitmap));
}

TEST(Colour, ParsesTheTextForms) {
  const uint32_t def = 0x12345678;
  const std::pair<const char*, uint32_t> cases[] = {
      {"255,0,0", 0xFFFF0000},     {"#00FF00,128", 0x8000FF00}, {"255", 0xFFFF0000},
      {"#0000FF", 0xFF0000FF},     {"0,0,255,17", 0x110000FF},  {"16711680,300", 0xFF0000FF},
      {" 1 , 2 , 3 ", 0xFF010203}, {"1,2,3,4,5", def},          {"red", def},
      {"#00FF00,#80", 0x8000FF00},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(ParseColor(text, def), want) << text;
}

TEST(Colour, BlendsAndMixes) {
  EXPECT_EQ(AverageColor(0xFF000000, 0x01020304), 0x80010102u);
  EXPECT_EQ(MixColor(0xFF000000, 0xFF0000FF, 0.5), 0xFF000080u);
  EXPECT_EQ(BlendOver(0x00FFFFFF, 0x80102030), 0x80102030u);  // transparent colour
  EXPECT_EQ(BlendOver(0xFF112233, 0x80102030), 0xFF112233u);  // opaque colour
  EXPECT_EQ(BlendOver(0x80112233, 0x00102030), 0x80112233u);  // over nothing
  // Over an opaque pixel: channel += a * (colour - channel) >> 8.
  EXPECT_EQ(BlendOver(0x80FF0000, 0xFF000000), 0xFF7F0000u);
  // Both half transparent: f = 128 + 128 - 64 = 192;
  // red = (65536 div 192 = 341) * (128 * 0 + 128 * (255 - 0)) >> 16 = 169.
  EXPECT_EQ(BlendOver(0x80FF0000, 0x80000000), 0xC0A90000u);
  EXPECT_TRUE(SameColorIgnoringAlpha(0x00123456, 0xFF123456));
  EXPECT_FALSE(SameColor(0x00123456, 0xFF123456));
}

}  // namespace
}  // namespace vyr
