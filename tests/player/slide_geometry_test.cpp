// Where the authored presentation lands in the window.

#include <gtest/gtest.h>

#include "foundation/exceptions.h"
#include "loader_test_support.h"
#include "player/loader/slide_geometry.h"

namespace vyr {
namespace {

using testing::ParseProject;

struct GeometryCase {
  const char* what;
  TIntSize window;
  TIntSize presentation;
  TSlideFit fit;
  TIntSize slide;
  TIntRect rect;
};

TSlideGeometryInput InputOf(const GeometryCase& c) {
  TSlideGeometryInput input;
  input.window = c.window;
  input.presentation = c.presentation;
  input.aspect = static_cast<double>(c.presentation.width) / c.presentation.height;
  input.fit = c.fit;
  return input;
}

TEST(SlideGeometry, FitInsideCoverAndStretch) {
  const TIntSize wide{1920, 1080};
  const TIntSize classic{800, 600};
  const GeometryCase cases[] = {
      // 16:9 into 4:3: 1365 x 768 scaled by 1024 / 1365 gives 1024 x 576.14.
      {"16:9 inside 4:3", {1024, 768}, wide, TSlideFit::FitInside, {1024, 576}, {0, 96, 1024, 672}},
      // Cover keeps 1365 x 768 (already covering); its left edge -170 is clipped.
      {"16:9 cover 4:3", {1024, 768}, wide, TSlideFit::Cover, {1365, 768}, {0, 0, 1024, 768}},
      {"16:9 inside 16:9",
       {1920, 1080},
       wide,
       TSlideFit::FitInside,
       {1920, 1080},
       {0, 0, 1920, 1080}},
      {"16:9 cover 16:9", {1280, 720}, wide, TSlideFit::Cover, {1280, 720}, {0, 0, 1280, 720}},
      {"4:3 inside 16:9",
       {1920, 1080},
       classic,
       TSlideFit::FitInside,
       {1440, 1080},
       {240, 0, 1680, 1080}},
      {"4:3 cover 16:9", {1920, 1080}, classic, TSlideFit::Cover, {1920, 1440}, {0, 0, 1920, 1080}},
      {"4:3 inside 4:3",
       {1024, 768},
       classic,
       TSlideFit::FitInside,
       {1024, 768},
       {0, 0, 1024, 768}},
      {"stretch", {1000, 700}, classic, TSlideFit::Stretch, {1000, 700}, {0, 0, 1000, 700}},
      {"stretch keeps an odd side that fills the window",
       {1001, 701},
       classic,
       TSlideFit::Stretch,
       {1001, 701},
       {0, 0, 1001, 701}},
  };
  for (const GeometryCase& c : cases) {
    const TIntSize slide = SlideSizeOf(InputOf(c));
    EXPECT_EQ(slide, c.slide) << c.what;
    EXPECT_EQ(SlideRectOf(c.window, slide), c.rect) << c.what;
  }
}

TEST(SlideGeometry, FixedSizeIsNotEnlargedUnlessAsked) {
  GeometryCase c{"", {1920, 1080}, {800, 600}, TSlideFit::FitInside, {}, {}};
  TSlideGeometryInput input = InputOf(c);
  input.fixedSize = true;
  EXPECT_EQ(SlideSizeOf(input), (TIntSize{800, 600}));
  EXPECT_EQ(SlideRectOf(input.window, {800, 600}), (TIntRect{560, 240, 1360, 840}));
  input.upscaleFixed = true;
  EXPECT_EQ(SlideSizeOf(input), (TIntSize{1440, 1080}));
  input.upscaleFixed = false;
  input.window = {640, 480};  // smaller windows still shrink it
  EXPECT_EQ(SlideSizeOf(input), (TIntSize{640, 480}));
}

TEST(SlideGeometry, OddSideBecomesEvenOnlyWithinTheWindow) {
  TSlideGeometryInput input;
  input.fixedSize = true;
  input.presentation = {799, 599};
  input.window = {800, 600};
  EXPECT_EQ(SlideSizeOf(input), (TIntSize{800, 600}));
  input.window = {799, 599};
  EXPECT_EQ(SlideSizeOf(input), (TIntSize{799, 599}));
}

TEST(SlideGeometry, ScalePercentages) {
  GeometryCase c{"", {1920, 1080}, {1920, 1080}, TSlideFit::FitInside, {}, {}};
  TSlideGeometryInput input = InputOf(c);
  input.scaleX = 50;
  input.scaleY = 25;
  EXPECT_EQ(SlideSizeOf(input), (TIntSize{960, 270}));
  EXPECT_EQ(SlideRectOf(input.window, {960, 270}), (TIntRect{480, 405, 1440, 675}));
}

TEST(SlideGeometry, EmptyWindowGivesTheEmptyRectangle) {
  EXPECT_EQ(SlideRectOf({0, 0}, {800, 600}), TIntRect{});
  EXPECT_EQ(SlideRectOf({800, 600}, {0, 0}), TIntRect{});
}

TEST(PresentationAspect, NewProjectsUseThePresentationOldOnesTheWindow) {
  auto current = ParseProject("[Main]\nopt_scr_ratio=2\n");
  EXPECT_DOUBLE_EQ(PresentationAspect(current.Get(), {1600, 1200}, {1920, 1080}), 4.0 / 3.0);
  EXPECT_THROW(PresentationAspect(current.Get(), {1600, 0}, {1920, 1080}), EAssertionFailed);

  auto old = ParseProject("[Main]\nMinorVersion=12\n");
  EXPECT_DOUBLE_EQ(PresentationAspect(old.Get(), {1600, 1200}, {1920, 1080}), 1920.0 / 1080.0);
  auto oldWithRatio = ParseProject("[Main]\nMinorVersion=12\nopt_scr_ratio=1.5\n");
  EXPECT_DOUBLE_EQ(PresentationAspect(oldWithRatio.Get(), {1600, 0}, {1920, 1080}), 1.5);
}

}  // namespace
}  // namespace vyr
