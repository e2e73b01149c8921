// Colours of a slide drawn through the display profile when the show manages colours: the
// background's, the texts' and the shadows', not the boxes'.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "imaging/colour/color_cube.h"
#include "imaging/colour/color_profile.h"
#include "package/access/show_color_management.h"
#include "project/ini/ini.h"
#include "scene/filters/managed_cube.h"
#include "scene/objects/vyr_box.h"
#include "scene/objects/vyr_text.h"
#include "scene_test_support.h"

namespace vyr {
namespace {

using test::KeyPoint;
using test::Obj;
using test::TSceneFixture;

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;

int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 32; shift += 8)
    d = std::max(d, std::abs(int(a >> shift & 255) - int(b >> shift & 255)));
  return d;
}

// Through the profile that exchanges the colorants, red comes out blue.
class ManagedColours : public ::testing::Test {
 protected:
  void SetUp() override { SetOutputProfile(BuiltinProfile("RivedADE")); }
  void TearDown() override { SetOutputProfile(nullptr); }

  static uint32_t Converted(uint32_t argb) {
    return (argb & 0xFF000000u) | ConvertColor(nullptr, argb & 0xFFFFFFu);
  }

  // A red-to-green gradient background (Windows colour values 0x00BBGGRR), a red text that
  // turns green under the pointer, and a box filled red that casts a red shadow.
  static TSceneFixture Scene(const std::string& background = "bcolor1=255\nbcolor2=65280\n") {
    return TSceneFixture(Obj("t", "Text", "Text=Hi\nTextColor=255,0,0\nTextColorHover=0,255,0\n",
                             KeyPoint("Time=0\nScaleY=20\n")) +
                             Obj("b", "Box",
                                 "Size=100,100\nFitMode=None\nColor1=255,0,0\nShadowEnable="
                                 "1\nShadowColor=255,0,0\n"),
                         1000, 1000, 0, 0, "bstyle=3\nbcolorstyle=1\n" + background);
  }
};

TEST_F(ManagedColours, BackgroundTextAndShadowColoursAreConvertedBoxColoursAreNot) {
  ASSERT_LE(Distance(Converted(kRed), kBlue), 4);
  TSceneFixture scene = Scene();
  scene.colorManagement = true;
  scene.Build();
  scene.At(0);

  const TBackgroundParams& background = scene.slide->Background();
  EXPECT_EQ(background.color1, kRed);  // as the project says
  EXPECT_LE(Distance(background.managedColor1, kBlue), 4);
  EXPECT_EQ(background.managedColor2, Converted(kGreen));

  auto* text = dynamic_cast<TVyrText*>(scene.Find("t"));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->Color(kStateNormal), kRed);
  EXPECT_LE(Distance(text->ManagedColor(kStateNormal), kBlue), 4);
  EXPECT_EQ(text->ManagedColor(kStateHover), Converted(kGreen));
  EXPECT_EQ(text->ManagedColor(kStateClick), text->ManagedColor(kStateNormal));

  TVyrObject* box = scene.Find("b");
  ASSERT_TRUE(box);
  EXPECT_LE(Distance(box->Shadow().managedColor, kBlue), 4);

  test::TRecordingDrawer drawer;
  drawer.DrawItem(*scene.slide);
  std::vector<uint32_t> boxColours, tints;
  for (const auto& call : drawer.calls) {
    if (call.op == "box") boxColours.push_back(call.boxParams.color1);
    if (call.op == "image") tints.push_back(call.imageParams.tint);
  }
  // The background first, then the box in its own red.
  ASSERT_EQ(boxColours.size(), 2u);
  EXPECT_EQ(boxColours[0], background.managedColor1);
  EXPECT_EQ(boxColours[1], kRed);
  // The text's shadow (black), the text, the box's shadow.
  EXPECT_NE(std::find(tints.begin(), tints.end(), text->ManagedColor(kStateNormal)), tints.end());
  EXPECT_NE(std::find(tints.begin(), tints.end(), box->Shadow().managedColor), tints.end());
  EXPECT_EQ(std::find(tints.begin(), tints.end(), kRed), tints.end());
}

TEST_F(ManagedColours, WithoutColourManagementEveryColourStays) {
  TSceneFixture scene = Scene("bcolor1=255\nbcolor2=255\n");
  scene.Build();
  scene.At(0);
  EXPECT_EQ(scene.slide->Background().managedColor1, kRed);
  EXPECT_EQ(scene.slide->Background().managedColor2, kRed);
  auto* text = dynamic_cast<TVyrText*>(scene.Find("t"));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->ManagedColor(kStateNormal), kRed);
  EXPECT_EQ(text->ManagedColor(kStateHover), kGreen);
  EXPECT_EQ(scene.Find("b")->Shadow().managedColor, kRed);
}

}  // namespace
}  // namespace vyr

namespace vyr {
namespace {

// The cube of a picture's profile: one for every picture with the same profile data (the
// photos of one camera), none for the display's own profile, and made again for the next
// show's colour set-up.
TEST(PictureColourLookup, OneCubePerProfileAndShow) {
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8("[Main]\nColorManagement=sRGB\n");
  SetupShowColorManagement(*project, nullptr);
  const TRef<TColorProfile> display = BuiltinProfile("sRGB");
  const std::vector<uint8_t> adobe = BuiltinProfile("AdobeRGB")->IccData();
  const auto first = MakeRef<TColorProfile>("a.jpg", adobe);
  const auto second = MakeRef<TColorProfile>("b.jpg", adobe);
  const auto cube = PictureColourLookup(first, display);
  ASSERT_TRUE(cube);
  EXPECT_EQ(PictureColourLookup(second, display), cube);
  EXPECT_FALSE(PictureColourLookup(display, display));
  EXPECT_FALSE(PictureColourLookup(nullptr, display));
  // Adobe RGB's pure green lies outside sRGB: its entry is converted, not the identity.
  EXPECT_NE(*cube, TColorLut::IdentityCube());
  SetupShowColorManagement(*project, nullptr);
  const auto again = PictureColourLookup(first, display);
  EXPECT_NE(again, cube);
  EXPECT_EQ(*again, *cube);
  SetOutputProfile(nullptr);
}

}  // namespace
}  // namespace vyr
