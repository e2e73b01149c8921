#include "decode_command.h"

#include <gtest/gtest.h>

#include "picture_tools.h"

namespace vyr {
namespace {

using namespace vyr::testing;

TEST(DecodeCommand, WritesWhatThePlayerDecodes) {
  VYR_REQUIRE_TOOL(kConvert);
  VYR_REQUIRE_TOOL("/usr/bin/djpeg");
  const std::string dir = TempDir();
  const std::string jpeg = dir + "/photo.jpg";
  RunTool(std::string(kConvert) + " rose: -resize 140x92! " + jpeg);
  RunTool(std::string("/usr/bin/djpeg -scale 1/2 -outfile ") + dir + "/half.ppm " + jpeg);
  ASSERT_EQ(RunDecodeCommand({jpeg, dir + "/half.png", "--level", "1"}), 0);
  EXPECT_EQ(Compare(MagickRgba(dir + "/half.png"), MagickRgba(dir + "/half.ppm")).max, 0);

  // Alpha survives into a 32-bit PNG.
  const std::string gif = dir + "/t.gif";
  RunTool(std::string(kConvert) + " rose: -fuzz 15% -transparent '#FFFFFF' " + gif);
  ASSERT_EQ(RunDecodeCommand({gif, dir + "/t.png"}), 0);
  const auto ours = MagickRgba(dir + "/t.png");
  const auto theirs = MagickRgba(gif);
  ASSERT_EQ(ours.size(), theirs.size());
  size_t transparent = 0;
  for (size_t i = 3; i < ours.size(); i += 4) {
    EXPECT_EQ(ours[i], theirs[i]);
    transparent += ours[i] == 0;
  }
  EXPECT_GT(transparent, 0u);

  // Through the colour-exchanging profile: pure red comes out blue.
  const std::string red = dir + "/red.bmp";
  RunTool(std::string(kConvert) + " -size 4x4 xc:red " + red);
  ASSERT_EQ(RunDecodeCommand({red, dir + "/swapped.png", "--profile", "RivedADE"}), 0);
  const auto swapped = MagickRgba(dir + "/swapped.png");
  EXPECT_LE(swapped[0], 4);
  EXPECT_GE(swapped[2], 251);
}

TEST(DecodeCommand, UsesTheGivenOpenerAndReportsErrors) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  RunTool(std::string(kConvert) + " rose: " + dir + "/rose.bmp");
  std::string asked;
  auto opener = [&](const std::string& path) -> TRef<TStream> {
    asked = path;
    return MakeRef<TMemoryStream>(ReadFile(dir + "/rose.bmp"));
  };
  EXPECT_EQ(RunDecodeCommand({"show.exe:pics/rose.bmp", dir + "/out.png"}, opener), 0);
  EXPECT_EQ(asked, "show.exe:pics/rose.bmp");
  EXPECT_EQ(MagickRgba(dir + "/out.png"), MagickRgba(dir + "/rose.bmp"));

  EXPECT_EQ(RunDecodeCommand({dir + "/rose.bmp"}), 2);
  EXPECT_EQ(RunDecodeCommand({dir + "/rose.bmp", dir + "/o.png", "--level", "x"}), 2);
  EXPECT_EQ(RunDecodeCommand({dir + "/missing.bmp", dir + "/o.png"}), 1);
  EXPECT_EQ(RunDecodeCommand({dir + "/rose.bmp", dir + "/o.png", "--profile", "/nope.icc"}), 1);
  WriteFile(dir + "/junk.jpg", {1, 2, 3});
  EXPECT_EQ(RunDecodeCommand({dir + "/junk.jpg", dir + "/o.png"}), 1);
}

}  // namespace
}  // namespace vyr
