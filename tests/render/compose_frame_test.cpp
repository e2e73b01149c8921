// The root item: transitions between two slides, background bands, change detection and
// repeatable frames.

#include "compose_fixture.h"
#include "render/compose/overlay_draw_list.h"
#include "render/compose/root_item.h"

namespace vyr::test {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

TRef<TVyrFilter> CrossFade(double duration, double time) {
  TRef<TVyrEffect> effect = MakeRef<TVyrEffect>();
  effect->type = TEffectType::Dissolve;
  TRef<TVyrFilter> filter = MakeRef<TVyrFilter>(effect, duration, 0.0f);
  filter->SetCurrentTime(time);
  return filter;
}

// A growing circle around the slide's centre.
TRef<TVyrFilter> Circle(double duration, double time) {
  TRef<TVyrEffect> effect = MakeRef<TVyrEffect>();
  effect->type = TEffectType::Shapes;
  effect->flags = {0, 1, 1, 0, 0};  // grow; circle
  TRef<TVyrFilter> filter = MakeRef<TVyrFilter>(effect, duration, 0.0f);
  filter->SetCurrentTime(time);
  return filter;
}

class ComposeFrame : public ComposeTest {
 protected:
  void SetUp() override {
    ComposeTest::SetUp();
    root = MakeRef<TRootItem>();
    overlay = MakeRef<TOverlayDrawList>(root.Get());
  }
  void DrawRoot() {
    drawer->DrawItem(*root);
    frame = drawer->Capture();
    ASSERT_TRUE(frame);
  }
  TRef<TRootItem> root;
  TRef<TOverlayDrawList> overlay;
};

TEST_F(ComposeFrame, CrossFadeOfRedAndBlue) {
  root->SetItems({FlatSlide(kRed, 64, 48), FlatSlide(kBlue, 64, 48), overlay});
  struct Case {
    double time;
    TRgba colour;
    int tolerance;
  };
  const Case cases[] = {
      {500, {127, 0, 128}, 1},  // half way: (127 or 128, 0, 127 or 128)
      {0, {255, 0, 0}, 0},      // only the leaving slide
      {1000, {0, 0, 255}, 0},   // at time = duration only the arriving slide
      {1500, {0, 0, 255}, 0},
  };
  for (const Case& c : cases) {
    root->SetFilter(CrossFade(1000, c.time));
    DrawRoot();
    ExpectColour(At(32, 24), c.colour, c.tolerance);
  }
}

TEST_F(ComposeFrame, CircleWipeRevealsTheArrivingSlideFromTheCentre) {
  root->SetItems({FlatSlide(kRed, 64, 48), FlatSlide(kBlue, 64, 48), overlay});
  root->SetFilter(Circle(1000, 500));
  DrawRoot();
  ExpectColour(At(32, 24), {0, 0, 255}, 0);
  ExpectColour(At(0, 0), {255, 0, 0}, 0);
  root->SetFilter(Circle(1000, 1000));
  DrawRoot();
  ExpectColour(At(0, 0), {0, 0, 255}, 0);
}

TEST_F(ComposeFrame, BackgroundBandsSurroundTheWidenedClipRectangle) {
  drawer->SetCamera(TIntRect{10, 8, 54, 40}, 64, DefaultCamera(64, 48));
  root->SetBackground(true, 0x00FF00);
  root->SetArea(64, 48);
  TRef<TImage> white = FlatPicture(4, 4, 0xFFFFFFFF);
  overlay->AddPicture(white, 0, 20, 1, 1);  // in the left band
  root->SetItems({FlatSlide(kRed, 64, 48), overlay});
  DrawRoot();
  ExpectColour(At(2, 2), {0, 255, 0}, 0);
  ExpectColour(At(8, 30), {0, 255, 0}, 0);
  ExpectColour(At(60, 44), {0, 255, 0}, 0);
  ExpectColour(At(9, 30), {255, 0, 0}, 0);  // the widened hole shows the slide
  ExpectColour(At(2, 21), {0, 255, 0}, 0);  // bands drawn after the overlay's records

  overlay->SetBandsBefore(0);  // a panel's pictures lie above the bands
  DrawRoot();
  ExpectColour(At(2, 21), {255, 255, 255}, 0);

  // Without any item the root item draws the bands itself.
  root->SetItems({});
  DrawRoot();
  ExpectColour(At(2, 2), {0, 255, 0}, 0);
}

TEST_F(ComposeFrame, BandsOfAClipRectangle) {
  const std::vector<TIntRect> bands = BackgroundBands(TIntRect{10, 8, 54, 40}, 64, 48);
  const std::vector<TIntRect> want = {
      {0, 0, 64, 7}, {0, 41, 64, 48}, {0, 7, 9, 41}, {55, 7, 64, 41}};
  EXPECT_EQ(bands, want);
  // A slide filling the area leaves no band.
  EXPECT_TRUE(BackgroundBands(TIntRect{0, 0, 64, 48}, 64, 48).empty());
}

TEST_F(ComposeFrame, ChangesAreDetectedAndItemsFinishTheirFrames) {
  TRef<TLambdaItem> slide = FlatSlide(kRed, 64, 48);
  root->SetItems({slide, overlay});
  EXPECT_TRUE(root->IsChanged());
  DrawRoot();
  EXPECT_EQ(slide->finished, 1);
  EXPECT_FALSE(root->IsChanged());
  slide->changed = true;
  EXPECT_TRUE(root->IsChanged());
  slide->changed = false;
  root->SetItems({FlatSlide(kRed, 64, 48), overlay});  // another item at position 0
  EXPECT_TRUE(root->IsChanged());
  TRef<TVyrFilter> filter = CrossFade(1000, 100);
  root->SetItems({slide, FlatSlide(kBlue, 64, 48), overlay});
  root->SetFilter(filter);
  DrawRoot();
  EXPECT_FALSE(root->IsChanged());
  filter->SetCurrentTime(120);
  EXPECT_TRUE(root->IsChanged());
}

TEST_F(ComposeFrame, SameFrameTwiceIsIdentical) {
  TRef<TImage> ramp =
      MakePicture(37, 23, [](int x, int y) { return 0xFF000000u | (x * 7u) << 16 | (y * 11u); });
  TRef<TLambdaItem> slide = MakeRef<TLambdaItem>([&](TDeviceDrawer& d) {
    TImageDrawParams p;
    p.placement.origin = TVec3{3.3f, 2.7f, 12};
    p.placement.axisX = TVec3{0.9f, 0.1f, 0.3f};
    p.pivotRect = TFloatRect{0, 0, 50, 40};
    d.DrawImage(*ramp, p);
  });
  root->SetItems({slide, FlatSlide(0x80FFFFFF, 64, 48), overlay});
  root->SetFilter(CrossFade(1000, 333));
  DrawRoot();
  const std::vector<uint8_t> first(frame->Row(0), frame->Row(0) + 64 * 48 * 4);
  DrawRoot();
  const std::vector<uint8_t> second(frame->Row(0), frame->Row(0) + 64 * 48 * 4);
  EXPECT_EQ(first, second);
}

// Captured frames are read into a bitmap the drawer may fill again later: never while a
// receiver still holds it.
TEST_F(ComposeFrame, HeldCapturesKeepTheirPixelsWhileLaterFramesAreRead) {
  auto capture = [&](uint32_t colour) {
    root->SetItems({FlatSlide(colour, 64, 48), overlay});
    drawer->DrawItem(*root);
    return drawer->Capture();
  };
  auto colourOf = [](const TRef<TBitmap>& bitmap, int x, int y) {
    const uint8_t* p = bitmap->Row(y) + x * 4;
    return TRgba{p[2], p[1], p[0], p[3]};
  };
  TRef<TBitmap> red = capture(kRed);
  TRef<TBitmap> blue = capture(kBlue);
  ASSERT_TRUE(red && blue);
  ExpectColour(colourOf(red, 63, 47), {255, 0, 0}, 0);
  ExpectColour(colourOf(blue, 0, 0), {0, 0, 255}, 0);
  red.Reset();
  TRef<TBitmap> green = capture(0xFF00FF00);
  ASSERT_TRUE(green);
  ExpectColour(colourOf(blue, 10, 10), {0, 0, 255}, 0);
  ExpectColour(colourOf(green, 10, 10), {0, 255, 0}, 0);
  // Let go of everything: the next frame comes out whole, opaque, top row first.
  blue.Reset();
  green.Reset();
  root->SetItems({MakeRef<TLambdaItem>([](TDeviceDrawer& d) {
                    d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 64, 24}, kRed, kRed,
                                    TBoxFill::Solid, 100, false);
                  }),
                  overlay});
  drawer->DrawItem(*root);
  TRef<TBitmap> halves = drawer->Capture();
  ASSERT_TRUE(halves);
  EXPECT_EQ(colourOf(halves, 5, 23).r, 255);
  EXPECT_EQ(colourOf(halves, 5, 24).r, 0);
  EXPECT_EQ(colourOf(halves, 5, 24).a, 255);
}

// The frame made while slide 1 still decodes shows only the show's colour: its small picture
// and box are drawn in that colour, and the next frame draws as ever.
TEST_F(ComposeFrame, WarmUpFrameShowsOnlyTheShowsColour) {
  drawer->WarmUp(0x336699);
  frame = drawer->Capture();
  ASSERT_TRUE(frame);
  for (int y = 0; y < 48; y += 3)
    for (int x = 0; x < 64; x += 3) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      ExpectColour(At(x, y), {0x33, 0x66, 0x99}, 0);
    }
  Frame([](TDeviceDrawer& d) {
    d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 64, 48}, kRed, kRed, TBoxFill::Solid, 100,
                    false);
  });
  ExpectColour(At(2, 2), {255, 0, 0}, 0);
}

}  // namespace
}  // namespace vyr::test
