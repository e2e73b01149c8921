#include <gtest/gtest.h>

#include <cstring>

#include "hostile_pictures.h"
#include "imaging/bitmap/turns.h"
#include "imaging/decode/gfx_container.h"
#include "picture_tools.h"

namespace vyr {
namespace {

using namespace vyr::testing;

const std::vector<std::pair<std::string, std::string>> kFields = {
    {"File", "pictures/rose.jpg"}, {"Width", "70"}, {"Height", "46"}, {"OriginalSize", "1234"}};

TEST(GfxContainer, HoldsADeflatedBmpUnderAnyPictureName) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string file = TempDir() + "/rose.bmp";
  RunTool(std::string(kConvert) + " rose: -alpha set -channel A -fx 'j/h' +channel " + file);
  const auto bytes = Container(kFields, RawDeflate(ReadFile(file)));
  for (const char* name : {"a.qzgfx", "a.png", "a.BMP", "a.gif|framesatlas"}) {
    auto image = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), name);
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->Format(), pf::A8R8G8B8());
    auto* store = dynamic_cast<TGfxBitmapStore*>(&image->Store());
    ASSERT_TRUE(store) << name;
    EXPECT_EQ(store->Field("File"), "pictures/rose.jpg");
    EXPECT_EQ(BitmapRgba(*image->Bitmap()), MagickRgba(file)) << name;
  }
  // A ".jpg" name never reaches the container decoder.
  EXPECT_FALSE(DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), "a.jpg"));
}

TEST(GfxContainer, UnreadablePayloadGivesOpaqueGreenOfTheDeclaredSize) {
  const std::vector<uint8_t> junk = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const std::vector<std::vector<uint8_t>> payloads = {junk, RawDeflate(junk)};
  for (const auto& payload : payloads) {
    auto image = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(Container(kFields, payload))),
                               "a.qzgfx");
    ASSERT_TRUE(image);
    auto b = image->Bitmap();
    ASSERT_EQ(b->Width(), 70);
    ASSERT_EQ(b->Height(), 46);
    uint32_t v;
    std::memcpy(&v, b->Row(45) + 69 * 4, 4);
    EXPECT_EQ(v, 0xFF00FF00u);
  }
}

TEST(GfxContainer, BadHeadersAreNotContainers) {
  const std::vector<uint8_t> payload = RawDeflate({1, 2, 3});
  auto without = [&](const std::string& field) {
    std::vector<std::pair<std::string, std::string>> f;
    for (const auto& kv : kFields)
      if (kv.first != field) f.push_back(kv);
    return f;
  };
  std::vector<std::vector<uint8_t>> bad = {
      Container(without("File"), payload),
      Container(without("OriginalSize"), payload),
      Container({{"File", "x"}, {"Width", "7x"}, {"Height", "4"}, {"OriginalSize", "1"}}, payload),
      Container({{"File", "x"}, {"Width", "0"}, {"Height", "4"}, {"OriginalSize", "1"}}, payload),
      // A size no payload of 5 bytes could ever inflate to.
      Container({{"File", "x"}, {"Width", "65535"}, {"Height", "65535"}, {"OriginalSize", "1"}},
                payload),
      Container(kFields, {}),
      {'Q', 'Z', 'G', 'F', 9},
      {'Q', 'Z', 'G', 'X', 0, 0},
  };
  // Fields cut short: a count of 4 but the stream ends inside the second name.
  auto cut = Container(kFields, payload);
  cut.resize(30);
  bad.push_back(cut);
  for (size_t i = 0; i < bad.size(); ++i) {
    auto stream = MakeRef<TMemoryStream>(bad[i]);
    EXPECT_FALSE(ReadGfxContainer(*stream, "x.qzgfx", nullptr)) << i;
    EXPECT_EQ(stream->Position(), 0) << i;
  }
}

// Every decoder's store reports a quarter-turned picture as height x width, and hands out
// level 0 (and the reduced levels) at that size; a half turn keeps the size.
TEST(TurnedPictures, EveryDecoderReportsTheTurnedSize) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  // 6 x 4, red on the left half, blue on the right.
  RunTool(std::string(kConvert) + " -size 3x4 xc:red -size 3x4 xc:blue +append " + dir + "/p.png");
  for (const char* ext : {"jpg", "bmp", "gif"})
    RunTool(std::string(kConvert) + " " + dir + "/p.png -quality 100 " + dir + "/p." + ext);
  std::vector<std::pair<std::string, std::vector<uint8_t>>> pictures;
  for (const char* ext : {"png", "jpg", "bmp", "gif"})
    pictures.emplace_back(std::string("p.") + ext, ReadFile(dir + "/p." + ext));
  const std::vector<std::pair<std::string, std::string>> fields = {
      {"File", "p.bmp"}, {"Width", "6"}, {"Height", "4"}, {"OriginalSize", "1"}};
  pictures.emplace_back("p.qzgfx", Container(fields, RawDeflate(ReadFile(dir + "/p.bmp"))));
  // A container whose payload cannot be read stands in as green of its declared size.
  pictures.emplace_back("bad.qzgfx", Container(fields, {1, 2, 3}));

  struct Turn {
    TRotationHook hook;
    int width, height;
    bool redOnTop;  // clockwise: the left (red) side comes to the top
  };
  const Turn turns[] = {{MakeTurnHook(TTurn::Clockwise), 4, 6, true},
                        {MakeTurnHook(TTurn::CounterClockwise), 4, 6, false},
                        {MakeTurnHook(TTurn::Half), 6, 4, false}};
  for (const auto& [name, bytes] : pictures) {
    for (const Turn& turn : turns) {
      auto image = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), name, turn.hook);
      ASSERT_TRUE(image) << name;
      EXPECT_EQ(image->Width(), turn.width) << name;
      EXPECT_EQ(image->Height(), turn.height) << name;
      const TRef<TBitmap> level0 = image->Bitmap();
      ASSERT_EQ(level0->Width(), turn.width) << name;
      ASSERT_EQ(level0->Height(), turn.height) << name;
      const TRef<TBitmap> level1 = image->Store().GetMipLevel(1);
      EXPECT_EQ(level1->Width(), (turn.width + 1) / 2) << name;
      EXPECT_EQ(level1->Height(), (turn.height + 1) / 2) << name;
      if (name == "bad.qzgfx" || turn.width == 6) continue;
      const std::vector<uint8_t> rgba = BitmapRgba(*level0);
      const uint8_t* top = &rgba[0];
      EXPECT_EQ(top[0] > 200, turn.redOnTop) << name;
      EXPECT_EQ(top[2] > 200, !turn.redOnTop) << name;
    }
  }
}

}  // namespace
}  // namespace vyr
