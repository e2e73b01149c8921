#include <gtest/gtest.h>

#include <set>

#include "hostile_pictures.h"
#include "imaging/colour/color_profile.h"
#include "imaging/colour/jpeg_profile.h"
#include "imaging/decode/imaging_log.h"
#include "imaging/decode/jpeg_decoder.h"
#include "picture_tools.h"

namespace vyr {
namespace {

using namespace vyr::testing;

const char* kDjpeg = "/usr/bin/djpeg";
const char* kCjpeg = "/usr/bin/cjpeg";

// A photograph-like picture ImageMagick has built in, enlarged so that scaling shows.
std::string Photo(const std::string& dir) {
  const std::string file = dir + "/photo.ppm";
  RunTool(std::string(kConvert) + " rose: -resize 280x184! " + file);
  return file;
}

TEST(JpegDecoder, MatchesImageMagickForEveryKindOfJpeg) {
  VYR_REQUIRE_TOOL(kConvert);
  VYR_REQUIRE_TOOL(kCjpeg);
  const std::string dir = TempDir();
  const std::string photo = Photo(dir);
  struct Case {
    std::string command;
    int maxDiff;  // upsampling and colour conversion may round differently
  };
  const Case cases[] = {
      {std::string(kConvert) + " " + photo + " -quality 90 " + dir + "/base.jpg", 2},
      {std::string(kConvert) + " " + photo + " -interlace JPEG " + dir + "/prog.jpg", 2},
      {std::string(kCjpeg) + " -restart 1 -outfile " + dir + "/restart.jpg " + photo, 2},
      {std::string(kConvert) + " " + photo + " -colorspace CMYK " + dir + "/cmyk.jpg", 3},
  };
  for (const auto& c : cases) {
    RunTool(c.command);
    const std::string file = c.command.substr(c.command.rfind(' ') + 1) == photo
                                 ? dir + "/restart.jpg"
                                 : c.command.substr(c.command.rfind(' ') + 1);
    auto image = DecodeFile(file);
    ASSERT_TRUE(image) << file;
    EXPECT_EQ(image->Format(), pf::B8G8R8());
    EXPECT_EQ(image->Width(), 280);
    const TDiff d = Compare(BitmapRgba(*image->Bitmap()), MagickRgba(file));
    EXPECT_LE(d.max, c.maxDiff) << file;
    EXPECT_LT(d.mean, 0.5) << file;
  }
}

TEST(JpegDecoder, GreyIsQuantisedTo236Levels) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  const std::string file = dir + "/grey.jpg";
  RunTool(std::string(kConvert) + " " + Photo(dir) + " -colorspace Gray " + file);
  auto image = DecodeFile(file);
  ASSERT_TRUE(image);
  const auto got = BitmapRgba(*image->Bitmap());
  std::set<int> levels;
  for (size_t i = 0; i < got.size(); i += 4) {
    ASSERT_EQ(got[i], got[i + 1]);
    ASSERT_EQ(got[i], got[i + 2]);
    levels.insert(got[i]);
  }
  // 236 evenly spread levels: 19 of the 256 values can never occur.
  EXPECT_LE(levels.size(), 236u);
  const TDiff d = Compare(got, MagickRgba(file));
  EXPECT_LE(d.max, 4);  // the dithering moves each pixel by less than a quantisation step
  EXPECT_LT(d.mean, 1.0);
}

TEST(JpegDecoder, LevelsOneToThreeComeFromScaledDecoding) {
  VYR_REQUIRE_TOOL(kConvert);
  VYR_REQUIRE_TOOL(kDjpeg);
  const std::string dir = TempDir();
  const std::string file = dir + "/photo.jpg";
  RunTool(std::string(kConvert) + " " + Photo(dir) + " " + file);
  auto image = DecodeFile(file);
  ASSERT_TRUE(image);
  for (int level = 1; level <= 3; ++level) {
    const std::string scaled = dir + "/scaled" + std::to_string(level) + ".ppm";
    RunTool(std::string(kDjpeg) + " -scale 1/" + std::to_string(1 << level) + " -outfile " +
            scaled + " " + file);
    auto bitmap = image->Store().GetMipLevel(level);
    EXPECT_EQ(bitmap->Width(), (280 + (1 << level) - 1) >> level);
    const TDiff d = Compare(BitmapRgba(*bitmap), MagickRgba(scaled));
    EXPECT_EQ(d.max, 0) << "level " << level;
  }
  // Level 5 is reduced twice from level 3 (35 x 23 -> 18 x 12 -> 9 x 6).
  auto level5 = image->Store().GetMipLevel(5);
  EXPECT_EQ(level5->Width(), 9);
  EXPECT_EQ(level5->Height(), 6);
}

TEST(JpegDecoder, BadDataFailsCleanly) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  const std::string file = dir + "/photo.jpg";
  RunTool(std::string(kConvert) + " " + Photo(dir) + " " + file);
  auto bytes = ReadFile(file);
  // Cut inside the header: no picture.
  auto header = MakeRef<TMemoryStream>(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 100));
  EXPECT_FALSE(DecodePicture(TRef<TStream>(header), "x.jpg"));
  EXPECT_EQ(header->Position(), 0);
  // Cut inside the scan: the part that was decoded stays, the rest is libjpeg's filling.
  std::vector<uint8_t> half(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2));
  auto cut = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(half)), "x.jpg");
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Bitmap()->Height(), 184);
  // A huge declared size with a few bytes of data is refused before anything is allocated.
  auto huge = bytes;
  for (size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = huge[i + 6] = huge[i + 7] = huge[i + 8] = 0xFF;
      break;
    }
  huge.resize(400);
  EXPECT_FALSE(DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(huge)), "x.jpg"));
  // A header that reads but data libjpeg refuses (an undefined quantisation table): the store
  // stands, and every level raises the same error to its caller.
  auto refused = ReadJpeg(MakeRef<TMemoryStream>(JpegHeader(16, 16, 64, 3)), "x.jpg", {});
  ASSERT_TRUE(refused);
  std::string first;
  try {
    refused->GetMipLevel(0);
    ADD_FAILURE() << "level 0 decoded";
  } catch (const EJPEG& e) {
    first = e.what();
  }
  EXPECT_EQ(first.rfind("JPEG error #", 0), 0u) << first;
  for (int level : {0, 1}) {
    try {
      refused->GetMipLevel(level);
      ADD_FAILURE() << "level " << level << " decoded";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.what(), first);
    }
  }
}

std::vector<uint8_t> JpegWithApp2(const std::vector<uint8_t>& icc, bool duplicateFF) {
  std::vector<uint8_t> j = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0};
  if (duplicateFF) j.push_back(0xFF);
  const size_t length = icc.size() + 16;
  j.insert(j.end(),
           {0xFF, 0xE2, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length & 255)});
  const char id[] = "ICC_PROFILE";
  j.insert(j.end(), id, id + 12);
  j.insert(j.end(), {1, 1});
  j.insert(j.end(), icc.begin(), icc.end());
  j.insert(j.end(), {0xFF, 0xE2, 0, 6, 9, 9, 9, 9, 0xFF, 0xDA});
  return j;
}

TEST(JpegProfile, ReadsTheFirstApp2Segment) {
  std::vector<std::string> log;
  SetImagingLogSink([&](const std::string& line) { log.push_back(line); });
  const std::vector<uint8_t> icc = {1, 2, 3, 4, 5};
  EXPECT_EQ(ReadJpegProfileBytes(JpegWithApp2(icc, false).data(), JpegWithApp2(icc, false).size()),
            icc);
  const auto dup = JpegWithApp2(icc, true);
  EXPECT_EQ(ReadJpegProfileBytes(dup.data(), dup.size()), icc);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "Error: duplicate $FF encountered at 9");
  const std::vector<uint8_t> notJpeg = {0xFF, 0xD9, 0xFF, 0xE2, 0, 20};
  EXPECT_TRUE(ReadJpegProfileBytes(notJpeg.data(), notJpeg.size()).empty());
  const std::vector<uint8_t> noMarker = {0xFF, 0xD8, 0x12};
  EXPECT_TRUE(ReadJpegProfileBytes(noMarker.data(), noMarker.size()).empty());
  EXPECT_EQ(log.back(), "Error: marker expected at 2");
  SetImagingLogSink(nullptr);
}

TEST(JpegProfile, TheSRGBProfileIsShared) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  const std::string icc = dir + "/srgb.icc";
  WriteFile(icc, BuiltinProfile("sRGB")->IccData());
  const std::string file = dir + "/tagged.jpg";
  RunTool(std::string(kConvert) + " rose: -profile " + icc + " " + file);
  auto image = DecodeFile(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Store().Profile(), BuiltinProfile("sRGB"));
  // Another profile from Debian stays its own.
  const std::string adobe = "/usr/share/color/icc/colord/AdobeRGB1998.icc";
  if (HaveTool("/usr/bin/convert") && std::filesystem::exists(adobe)) {
    const std::string other = dir + "/adobe.jpg";
    RunTool(std::string(kConvert) + " rose: -profile " + adobe + " " + other);
    auto tagged = DecodeFile(other);
    ASSERT_TRUE(tagged && tagged->Store().Profile());
    EXPECT_NE(tagged->Store().Profile(), BuiltinProfile("sRGB"));
    EXPECT_EQ(tagged->Store().Profile()->IccData(), ReadFile(adobe));
  }
}

TEST(PngLibrary, MatchesImageMagickForEveryColourTypeAndDepth) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  const std::string alpha = " -alpha set -channel A -fx 'i/w' +channel ";
  struct Case {
    std::string args;
    bool hasAlpha;
    int maxDiff;
  };
  const Case cases[] = {
      {"rose: PNG24:", false, 0},
      {"rose:" + alpha + "PNG32:", true, 0},
      {"rose: -colors 60 PNG8:", false, 0},
      {"rose: -fuzz 20% -transparent '#FFFFFF' -colors 60 PNG8:", true, 0},
      {"rose: -colorspace Gray -define png:color-type=0 -define png:bit-depth=8 PNG:", false, 0},
      {"rose: -colorspace Gray -define png:color-type=0 -define png:bit-depth=2 PNG:", false, 0},
      {"rose: -colorspace Gray" + alpha + "-define png:color-type=4 PNG:", true, 0},
      {"rose: -depth 16 PNG48:", false, 1},
      {"rose:" + alpha + "-depth 16 PNG64:", true, 1},
      {"rose: -interlace PNG PNG24:", false, 0},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string file = dir + "/p" + std::to_string(n++) + ".png";
    const size_t colon = c.args.rfind(' ');
    RunTool(std::string(kConvert) + " " + c.args.substr(0, colon) + " " + c.args.substr(colon + 1) +
            file);
    auto image = DecodeFile(file);
    ASSERT_TRUE(image) << c.args;
    EXPECT_EQ(image->Format(), c.hasAlpha ? pf::A8R8G8B8() : pf::R8G8B8()) << c.args;
    EXPECT_FALSE(image->Store().Profile());
    const TDiff d = Compare(BitmapRgba(*image->Bitmap()), MagickRgba(file));
    EXPECT_LE(d.max, c.maxDiff) << c.args;
  }
}

TEST(Decode, ExtensionChoosesTheDecoderAndPngDataUnderBmpIsFound) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  RunTool(std::string(kConvert) + " rose: " + dir + "/rose.png");
  auto png = ReadFile(dir + "/rose.png");
  auto asBmp = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(png)), "pic.bmp");
  ASSERT_TRUE(asBmp);
  EXPECT_EQ(asBmp->Width(), 70);
  // Only exactly ".bmp" is sniffed; other names keep their decoders.
  EXPECT_FALSE(DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(png)), "pic.jpg"));
  // With no extension every decoder is tried (picture libraries still go by extension).
  RunTool(std::string(kConvert) + " rose: " + dir + "/rose.bmp");
  auto bmp = ReadFile(dir + "/rose.bmp");
  EXPECT_TRUE(DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bmp)), "noextension"));
  EXPECT_FALSE(DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(png)), "noextension"));
  // Garbage under ".png" is answered by nobody, and the stream is where it was.
  auto junk = MakeRef<TMemoryStream>(std::vector<uint8_t>(100, 7));
  junk->Seek(5);
  EXPECT_FALSE(DecodePicture(TRef<TStream>(junk), "x.png"));
  EXPECT_EQ(junk->Position(), 5);
}

}  // namespace
}  // namespace vyr
