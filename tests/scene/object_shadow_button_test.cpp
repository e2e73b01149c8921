// Drop shadows drawn under texts and pictures, and themed buttons drawing their state picture
// as the pointer moves over them and presses them.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/png_writer.h"
#include "package/package_fixture.h"
#include "scene/objects/vyr_box.h"
#include "scene/objects/vyr_button.h"
#include "scene/objects/vyr_text.h"
#include "scene_test_support.h"

namespace vyr {
namespace {

using test::KeyPoint;
using test::Obj;
using test::TSceneFixture;

TVec3 CentreOf(const TImageDrawParams& p) {
  const TFloatRect& r = p.pivotRect;
  return p.placement.PointAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The image calls of one frame of the slide, background excluded.
std::vector<test::TDrawCall> DrawnImages(TSceneFixture& scene) {
  test::TRecordingDrawer drawer;
  drawer.DrawItem(*scene.slide);
  std::vector<test::TDrawCall> images;
  for (const auto& call : drawer.calls)
    if (call.op == "image") images.push_back(call);
  return images;
}

TEST(ObjectShadow, TextDrawsItsShadowFirstOffsetTintedAndFaded) {
  // One line of text 100 pixels high on the screen: the offset is 10 percent of 3 line heights,
  // 30 pixels, along 45 degrees (below and to the right).
  TSceneFixture scene(Obj("t", "Text",
                          "Text=Hello\nShadowDistance=10\nShadowColor=#204080\nShadowOpacity=50\n",
                          KeyPoint("Time=0\nScaleX=10\nScaleY=10\nOpacity=80\n")));
  scene.Build();
  scene.At(0);
  auto* text = dynamic_cast<TVyrText*>(scene.Find("t"));
  ASSERT_TRUE(text && text->Picture() && text->DropShadow());
  const auto images = DrawnImages(scene);
  ASSERT_EQ(images.size(), 2u);
  const TImageDrawParams& shadow = images[0].imageParams;
  const TImageDrawParams& glyphs = images[1].imageParams;
  EXPECT_EQ(images[0].image, text->DropShadow()->Picture());
  EXPECT_EQ(images[1].image, text->Picture());

  TVec3 c[4];
  text->Corners(c);
  const double lineHeight = std::hypot(c[3].x - c[0].x, c[3].y - c[0].y);
  ASSERT_NEAR(lineHeight, 100, 1);
  const double d = 0.10 * 3 * lineHeight;  // round() of the base moves it by under 0.5 %
  const TVec3 sc = CentreOf(shadow), gc = CentreOf(glyphs);
  EXPECT_NEAR(sc.x - gc.x, d * std::cos(M_PI / 4), 0.5);
  EXPECT_NEAR(sc.y - gc.y, d * std::sin(M_PI / 4), 0.5);
  EXPECT_EQ(shadow.tint, 0xFF204080u);
  EXPECT_NEAR(shadow.opacity, glyphs.opacity * 0.5f, 0.01f);
  EXPECT_NEAR(glyphs.opacity, 80, 0.01f);

  // The shadow picture covers the glyphs' area with its blur border around it: its drawn
  // size exceeds the text's by the border on each side.
  const double shadowWidth =
      std::hypot(shadow.placement.axisX.x, shadow.placement.axisX.y) * shadow.pivotRect.Width();
  const double textWidth = std::hypot(c[1].x - c[0].x, c[1].y - c[0].y);
  EXPECT_GT(shadowWidth, textWidth);
}

TEST(ObjectShadow, ShadowFollowsEnableAndIsKeptWhenOnly3DChanges) {
  struct TCase {
    std::string cls, keys;
    bool shadow;
  };
  const TCase cases[] = {
      {"Text", "Text=a\nShadowEnable=0\n", false},
      {"Text", "Text=a\n", true},  // texts cast shadows by default
      {"Image", "ImageName=p.bmp\n", false},
      {"Image", "ImageName=p.bmp\nShadowEnable=1\n", true},
  };
  for (const auto& c : cases) {
    TSceneFixture scene(Obj("o", c.cls, c.keys, KeyPoint("Time=0\nScaleY=20\n")));
    scene.source->files["p.bmp"] = test::MakeBmp(40, 20);
    scene.Build();
    scene.At(0);
    auto* object = dynamic_cast<TVyrImage*>(scene.Find("o"));
    ASSERT_TRUE(object && object->Picture()) << c.keys;
    const auto images = DrawnImages(scene);
    EXPECT_EQ(images.size(), c.shadow ? 2u : 1u) << c.keys;
    EXPECT_EQ(images.back().image, object->Picture()) << c.keys;
  }

  // A picture's shadow: offset by 1.5 percent of sqrt(w x h) of its size, tinted black.
  TSceneFixture scene(Obj("p", "Image", "ImageName=p.bmp\nFitMode=None\nShadowEnable=1\n"));
  scene.source->files["p.bmp"] = test::MakeBmp(400, 100);
  scene.Build();
  scene.At(0);
  auto images = DrawnImages(scene);
  ASSERT_EQ(images.size(), 2u);
  const double d = 0.015 * std::sqrt(400.0 * 100.0);
  const TVec3 sc = CentreOf(images[0].imageParams), pc = CentreOf(images[1].imageParams);
  EXPECT_NEAR(sc.x - pc.x, d * std::cos(M_PI / 4), 0.01);
  EXPECT_NEAR(sc.y - pc.y, d * std::sin(M_PI / 4), 0.01);
  EXPECT_EQ(images[0].imageParams.tint, 0xFF000000u);
  EXPECT_NEAR(images[0].imageParams.opacity, 59, 0.01f);

  // 3DShadow alone keeps the shadow; a new picture or blur makes a new one.
  TShadowSettings settings;
  TShadowParams params = BaseShadowParams(settings, 0, false);
  params.right = 40;
  params.bottom = 20;
  auto* picture = dynamic_cast<TVyrImage*>(scene.Find("p"));
  TObjectShadow shadow;
  shadow.Update(params, picture->Picture(), "p.bmp", scene.host->Files(), 1);
  TShadow* first = shadow.Get();
  ASSERT_TRUE(first && first->Picture());
  params.follow3D = true;
  shadow.Update(params, picture->Picture(), "p.bmp", scene.host->Files(), 1);
  EXPECT_EQ(shadow.Get(), first);
  EXPECT_TRUE(first->Params().follow3D);
  params.blur += 1;
  shadow.Update(params, picture->Picture(), "p.bmp", scene.host->Files(), 1);
  EXPECT_NE(shadow.Get(), first);
  const TRef<TShadow> second = TRef<TShadow>::Share(shadow.Get());
  shadow.Update(params, nullptr, "", scene.host->Files(), 1);
  EXPECT_NE(shadow.Get(), second.Get());
}

TEST(ObjectShadow, BoxCastsAScaledShadowOfItsFill) {
  TSceneFixture scene(Obj("box", "Box",
                          "Size=200,50\nFitMode=None\nFillMode=HGradient\nColor1=#FFFFFF\n"
                          "Alpha1=255\nAlpha2=0\nShadowEnable=1\nShadowDistance=10\n"));
  scene.Build();
  scene.At(0);
  auto* box = dynamic_cast<TVyrBox*>(scene.Find("box"));
  ASSERT_TRUE(box && box->DropShadow() && box->DropShadow()->Picture());
  const TShadowParams& params = box->DropShadow()->Params();
  EXPECT_TRUE(box->DropShadow()->Scaled());
  EXPECT_EQ(params.fillKind, kFillLeftToRight);
  EXPECT_EQ(params.startAlpha, 255);
  EXPECT_EQ(params.endAlpha, 0);
  // Normalised to about 40,000 pixels: 200 x 50 scaled by 4 on each side.
  EXPECT_FLOAT_EQ(params.right, 400);
  EXPECT_FLOAT_EQ(params.bottom, 100);

  test::TRecordingDrawer drawer;
  drawer.DrawItem(*scene.slide);
  ASSERT_GE(drawer.calls.size(), 3u);
  const test::TDrawCall& shadow = drawer.calls[1];
  ASSERT_EQ(shadow.op, "image");
  EXPECT_EQ(drawer.calls[2].op, "box");
  // Offset: 10 percent of sqrt(200 x 50) on the screen, 10 pixels, along 45 degrees.
  const TImageDrawParams& p = shadow.imageParams;
  const TVec3 centre = CentreOf(p);
  const TVec3 boxCentre =
      box->Placement().PointAt((box->PivotRect().left + box->PivotRect().right) / 2,
                               (box->PivotRect().top + box->PivotRect().bottom) / 2);
  EXPECT_NEAR(centre.x - boxCentre.x, 10 * std::cos(M_PI / 4), 0.01);
  EXPECT_NEAR(centre.y - boxCentre.y, 10 * std::sin(M_PI / 4), 0.01);
  EXPECT_NEAR(p.opacity, 59, 0.01f);
}

// A theme folder "wide" held by the show's files: a 60 x 20 reference button whose pieces are
// one colour per state.
void AddWideTheme(TSceneFixture& scene) {
  const std::filesystem::path fixtures = std::filesystem::path(VYR_SOURCE_DIR) / "tests/fixtures";
  std::ifstream ini(fixtures / "themes/wide/btn.ini", std::ios::binary);
  ASSERT_TRUE(ini);
  scene.source->files["wide\\btn.ini"] = {std::istreambuf_iterator<char>(ini), {}};
  test::TTempDir dir;
  auto piece = [&](const std::string& name, uint32_t colour) {
    TRef<TBitmap> b = CreateSysBitmap(60, 20, pf::A8R8G8B8());
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 60; ++x) reinterpret_cast<uint32_t*>(b->Row(y))[x] = colour;
    const std::string path = (dir.Path() / name).string();
    std::string error;
    ASSERT_TRUE(WritePng(*b, path, error)) << error;
    std::ifstream in(path, std::ios::binary);
    scene.source->files["wide\\" + name] = {std::istreambuf_iterator<char>(in), {}};
  };
  for (int kind = 0; kind < 9; ++kind) piece(std::to_string(kind) + ".png", 0xFF102030);
  piece("hover.png", 0xFF00FF00);
  piece("click.png", 0xFFFF0000);
}

std::string ButtonSlide(const std::string& theme) {
  return Obj("b", "Button", "Theme=" + theme + "\nAction=nextslide\n",
             Obj("cap", "Text", "Text=Go\n"));
}

TEST(ThemedButton, PointerChangesTheStatePicture) {
  TSceneFixture scene(ButtonSlide("wide"));
  AddWideTheme(scene);
  scene.Build();
  scene.At(0);
  auto* button = dynamic_cast<TVyrButton*>(scene.Find("b"));
  ASSERT_TRUE(button && button->Themed());
  ASSERT_TRUE(button->Picture());
  EXPECT_EQ(button->Picture()->Height(), 20);
  // The theme's BtnMinWidth 150 keeps it at least 30 wide; it may be narrower than 60.
  EXPECT_GE(button->Picture()->Width(), 30);
  EXPECT_EQ(button->Caption()->Color(kStateNormal), 0xFFFF8000u);  // the theme's caption colour
  EXPECT_NE(button->Picture()->Name().find(":0:"), std::string::npos);

  TVec3 c[4];
  button->Corners(c);
  const float bx = (c[0].x + c[2].x) / 2, by = (c[0].y + c[2].y) / 2;
  struct TStep {
    int kind;
    int state;
    bool action;
  };
  const TStep steps[] = {{kMouseMove, kStateHover, false},
                         {kMousePress, kStateClick, false},
                         {kMouseRelease, kStateHover, true}};
  for (const auto& step : steps) {
    const TMouseHit hit = scene.slide->HandleMouse(0, bx, by, true, step.kind, kMouseButtonLeft);
    EXPECT_EQ(button->MouseState(), step.state);
    EXPECT_EQ(!hit.action.Empty(), step.action);
    scene.At(0);
    ASSERT_TRUE(button->Picture());
    EXPECT_NE(button->Picture()->Name().find(":" + std::to_string(step.state) + ":"),
              std::string::npos)
        << button->Picture()->Name();
    const auto images = DrawnImages(scene);
    ASSERT_FALSE(images.empty());
    EXPECT_EQ(images[0].image, button->Picture());
  }
}

TEST(ThemedButton, MissingThemeFallsBackToAquaThenToTheStandIn) {
  {
    TSceneFixture scene(ButtonSlide("nosuchtheme"));
    AddWideTheme(scene);
    scene.source->files["aqua\\btn.ini"] = scene.source->files["wide\\btn.ini"];
    for (const char* name : {"0", "1", "2", "3", "4", "5", "6", "7", "8"})
      scene.source->files[std::string("aqua\\") + name + ".png"] =
          scene.source->files[std::string("wide\\") + name + ".png"];
    scene.source->files["aqua\\hover.png"] = scene.source->files["wide\\hover.png"];
    scene.source->files["aqua\\click.png"] = scene.source->files["wide\\click.png"];
    scene.Build();
    scene.At(0);
    auto* button = dynamic_cast<TVyrButton*>(scene.Find("b"));
    ASSERT_TRUE(button && button->Themed());
    EXPECT_EQ(button->Theme(), "aqua");
    ASSERT_TRUE(button->Picture());
    EXPECT_EQ(button->Picture()->Height(), 20);
  }
  TSceneFixture scene(ButtonSlide("nosuchtheme"));
  scene.Build();
  scene.At(0);
  auto* button = dynamic_cast<TVyrButton*>(scene.Find("b"));
  ASSERT_TRUE(button);
  EXPECT_FALSE(button->Themed());
  EXPECT_FALSE(button->Picture());
  EXPECT_FLOAT_EQ(button->OwnWidth(), button->Caption()->OwnWidth());  // the stand-in
}

// A theme "small" of a 120 x 40 reference button in one colour, with the caption size
// BtnOffset and minimum width given.
void AddSmallTheme(TSceneFixture& scene, double btnOffset, double minWidth) {
  std::string ini;
  for (const char* state : {"NormalState", "HoverState", "ClickState"})
    ini += std::string("[") + state +
           "]\nLeftTop=p.png,0,0,10,10\nTop=p.png,10,0,110,10\nRightTop=p.png,110,0,120,10\n"
           "Right=p.png,110,10,120,30\nRightBottom=p.png,110,30,120,40\n"
           "Bottom=p.png,10,30,110,40\nLeftBottom=p.png,0,30,10,40\nLeft=p.png,0,10,10,30\n"
           "Center=p.png,10,10,110,30\n";
  ini += "[TextParams]\nColor=#000000\nBtnOffset=" + std::to_string(btnOffset) +
         "\nBtnMinWidth=" + std::to_string(minWidth) + "\n";
  scene.source->files["small\\btn.ini"] = std::vector<uint8_t>(ini.begin(), ini.end());
  test::TTempDir dir;
  TRef<TBitmap> b = CreateSysBitmap(120, 40, pf::A8R8G8B8());
  b->FillRect({0, 0, 120, 40}, 0xFF204060);
  const std::string path = (dir.Path() / "p.png").string();
  std::string error;
  ASSERT_TRUE(WritePng(*b, path, error)) << error;
  std::ifstream in(path, std::ios::binary);
  scene.source->files["small\\p.png"] = {std::istreambuf_iterator<char>(in), {}};
}

TEST(ThemedButton, CaptionTakesTheThemeSizeAndTheWidthMayDropBelowTheReference) {
  // The caption's first keyframe asks for 100 across and 30 down; the theme's BtnOffset 20
  // makes both 80, and BtnOffsetX 100 of the project is kept at 100.
  TSceneFixture scene(
      Obj("b", "Button", "Theme=small\nBtnOffsetX=40\n",
          Obj("cap", "Text", "Text=Go\n", KeyPoint("Time=0\nScaleX=100\nScaleY=30\n"))));
  AddSmallTheme(scene, 20, 0);
  scene.Build();
  scene.At(0);
  scene.At(0);
  auto* button = dynamic_cast<TVyrButton*>(scene.Find("b"));
  ASSERT_TRUE(button && button->Themed());
  TVyrText* caption = button->Caption();
  ASSERT_TRUE(caption && caption->Picture());
  EXPECT_FLOAT_EQ(caption->Props().KeyFrame(0).Value(kValueScaleX), 80);
  EXPECT_FLOAT_EQ(caption->Props().KeyFrame(0).Value(kValueScaleY), 80);
  EXPECT_FLOAT_EQ(caption->ScaleY(), 80);  // the evaluated value follows
  // W = round((40 - round(20 x 40 / 100)) x aspect + 40 x 100 / 100): a short caption gives
  // less than the reference width 120.
  const double aspect = static_cast<double>(caption->Picture()->Width()) /
                        static_cast<double>(caption->Picture()->Height());
  const double want = std::max(40.0, std::round(32 * aspect + 40));
  ASSERT_LT(want, 120);
  EXPECT_FLOAT_EQ(button->OwnWidth(), static_cast<float>(want));
  ASSERT_TRUE(button->Picture());
  EXPECT_EQ(button->Picture()->Width(), static_cast<int>(want));
  EXPECT_EQ(button->Picture()->Height(), 40);
}

TEST(ThemedButton, ACaptionAlreadyAtTheThemeSizeKeepsItsKeyframe) {
  TSceneFixture scene(
      Obj("b", "Button", "Theme=small\n",
          Obj("cap", "Text", "Text=Go\n", KeyPoint("Time=0\nScaleX=75\nScaleY=30\n"))));
  AddSmallTheme(scene, 25, 0);
  scene.Build();
  scene.At(0);
  auto* button = dynamic_cast<TVyrButton*>(scene.Find("b"));
  ASSERT_TRUE(button && button->Caption());
  EXPECT_FLOAT_EQ(button->Caption()->Props().KeyFrame(0).Value(kValueScaleY), 30);
}

}  // namespace
}  // namespace vyr
