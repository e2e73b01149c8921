// The text command: a description to a PNG, with a show's vector text or the system fonts.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/text/text_producer.h"
#include "imaging/text/vector_text.h"
#include "picture_tools.h"
#include "text_command.h"
#include "text_fixtures.h"

namespace vyr {
namespace {

using testing::AddSquareGlyph;
using testing::TEntries;
using testing::TEntryBytes;

TEST(TextCommand, WritesThePictureOfTheShowsVectorText) {
  VYR_REQUIRE_TOOL(testing::kConvert);
  TFontCache::Instance().SetShowKey("command-show");
  TEntries show;
  TEntryBytes cache;
  cache.I32(1).Key("F:");
  AddSquareGlyph(cache, 3, 10);
  show.entries["VectTextCache: F:"] = cache.bytes;
  TEntryBytes text;
  text.I32(1).I32(10).I32(0).F32(-2).F32(1).F32(5).F32(1).I32(1).I32(0).F32(10).U16(3).Key("F:");
  show.entries["VectTxt2: Arial::\"<Q>\""] = text.bytes;
  const std::string out = testing::TempDir() + "/square.png";
  const TShowEntryOpener openShow = [&](const std::string& path) -> TStreamOpener {
    return path == "show.exe" ? show.Opener() : nullptr;
  };
  EXPECT_EQ(RunTextCommand({"Arial:3:0:0::0:1:0:\"<Q>\"", out, "--show", "show.exe"}, openShow), 0);
  // ImageMagick reads it back: a 30-pixel white square with a transparent pixel around it.
  const std::vector<uint8_t> rgba = testing::MagickRgba(out);
  ASSERT_EQ(rgba.size(), 32u * 32 * 4);
  const auto alpha = [&](int x, int y) { return rgba[(size_t(y) * 32 + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0), 0);
  EXPECT_EQ(alpha(1, 1), 255);
  EXPECT_EQ(alpha(30, 30), 255);
  EXPECT_EQ(alpha(31, 15), 0);
  EXPECT_EQ(rgba[(15 * 32 + 15) * 4], 255);
  TFontCache::Instance().SetShowKey("");

  // Without a show the system fonts draw it.
  EXPECT_EQ(RunTextCommand({"Text: Arial:0.02:0:0::0:1:0:\"<Q>\"", out}), 0);
  EXPECT_GT(testing::MagickRgba(out).size(), 0u);
}

TEST(TextCommand, UsageAndFailures) {
  EXPECT_EQ(RunTextCommand({}), 2);
  EXPECT_EQ(RunTextCommand({"only-description"}), 2);
  EXPECT_EQ(RunTextCommand({"a", "b.png", "--bogus"}), 2);
  EXPECT_EQ(RunTextCommand({"a", "b.png", "--show", "missing.exe"},
                           [](const std::string&) { return TStreamOpener(); }),
            1);
  EXPECT_EQ(RunTextCommand({"Arial:0.02:0:0::0:1:0:\"x\"", "/no/such/folder/out.png"}), 1);
}

TEST(TextProducer, BackgroundFillsUncoveredPixelsAndBlendsEdges) {
  auto text = MakeRef<TCachedVectorText>();
  text->ascent = 10;
  auto glyph = std::make_shared<TGlyph>();
  glyph->index = 1;
  glyph->b = 10;
  glyph->ascent = 10;
  glyph->emSize = 10;
  glyph->path = {
      {0, -10, kPathMoveTo}, {10, -10, kPathLineTo}, {10, 0, kPathLineTo}, {0, 0, kPathLineTo}};
  text->lines.push_back({{{0, 10, 1, "K", glyph}}});
  TTextRender render;
  render.scale = 1;
  render.offsetX = 0.5;  // half-covered columns at both sides
  render.background = 0xFF000000;
  TRef<TDirectBitmap> bitmap = TTextProducer::Render(*text, render);
  ASSERT_EQ(bitmap->Width(), 12);
  const auto pixel = [&](int x, int y) {
    uint32_t p;
    std::memcpy(&p, bitmap->Row(y) + x * 4, 4);
    return p;
  };
  EXPECT_EQ(pixel(0, 0), 0xFF000000u);  // background
  EXPECT_EQ(pixel(5, 5), 0xFFFFFFFFu);  // text
  // Coverage 128: alpha 128 x 255 >> 8 = 127; over black each channel 127 x 255 >> 8 = 126.
  EXPECT_EQ(pixel(1, 5), 0xFF7E7E7Eu);
}

}  // namespace
}  // namespace vyr
