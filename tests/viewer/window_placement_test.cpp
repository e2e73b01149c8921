// The window a show asks for, fitted into the work area and centred.

#include <gtest/gtest.h>

#include "viewer/window/window_placement.h"

namespace vyr {
namespace {

TEST(WindowPlacement, ModesSizesAndCentring) {
  const TIntRect monitor{0, 0, 1280, 1024};
  const struct {
    int width, height, mode, frameWidth, frameHeight;
    TIntRect outer;
    int clientWidth, clientHeight;
  } cases[] = {
      // A bordered 1024 x 768 window keeps its client size, centred with its frame.
      {1024, 768, kModeBordered, 10, 30, {123, 113, 1157, 911}, 1024, 768},
      // Too big: scaled down keeping 4:3.
      {1600, 1200, kModeBordered, 10, 30, {0, 20, 1280, 1003}, 1270, 953},
      {1600, 1200, kModeBorderless, 10, 30, {0, 32, 1280, 992}, 1280, 960},
      {800, 600, kModeFullScreen, 10, 30, {0, 0, 1280, 1024}, 1280, 1024},
      // Odd settings of 0 or less mean 640 x 480.
      {0, 480, kModeBorderless, 0, 0, {320, 272, 960, 752}, 640, 480},
      {-5, -5, kModeBorderless, 0, 0, {320, 272, 960, 752}, 640, 480},
  };
  for (const auto& c : cases) {
    const TWindowPlacement p =
        PlaceShowWindow(c.width, c.height, c.mode, monitor, c.frameWidth, c.frameHeight);
    EXPECT_EQ(p.clientWidth, c.clientWidth) << c.width << "x" << c.height << " mode " << c.mode;
    EXPECT_EQ(p.clientHeight, c.clientHeight) << c.width << "x" << c.height;
    EXPECT_EQ(p.outer, c.outer) << c.width << "x" << c.height;
  }
  // A second monitor's work area places the window on it.
  const TWindowPlacement p =
      PlaceShowWindow(800, 600, kModeBorderless, {1280, 0, 3200, 1080}, 0, 0);
  EXPECT_EQ(p.outer, (TIntRect{1840, 240, 2640, 840}));
}

}  // namespace
}  // namespace vyr
