#include <gtest/gtest.h>

#include <cmath>

#include "foundation/exceptions.h"
#include "player/bar_fixture.h"
#include "player/overlay/video_nav_bar.h"

namespace vyr::test {
namespace {

constexpr uint32_t kBack = 0xFF202020, kLine = 0xFF808080, kSlider = 0xFFFFFFFF;

// Cell k of the strips: normal red, hover green, pressed blue, each 10 + 30 k.
uint32_t CellColour(int state, int k) {
  return 0xFF000000u | uint32_t(10 + 30 * k) << (16 - 8 * state);
}

std::string BarText(const std::string& pixels = "") {
  return "[Common]\nVideoStyle=1\nflnm_back=back.png\nBgLeft=2\nBgRight=2\n"
         "TrackLineLeft=1\nTrackLineRight=1\n"
         "[Pixel positions]\n" +
         (pixels.empty() ? "BarSize=400,20\nBtnSize=16,16\nDigitSize=6,10\nTrackHeight=4\n"
                           "VolumeControlLength=40\nLeftSpace=4\n"
                         : pixels) +
         "ButtonsTrackSpace=4\nTrackDigitsSpace=2\nDigitsSoundBtnSpace=2\n"
         "SoundBtnTrackSpace=4\nRightSpace=4\n"
         "[Trackbar]\nflnm_Line=line.png\nflnm_Polzun=slider.png\n"
         "[Buttons]\nflnm_Normal=normal.png\nflnm_Hover=hover.png\nflnm_Click=click.png\n";
}

class VideoBar : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder.pictures["nav/back.png"] = FlatBarPicture(8, 20, kBack);
    recorder.pictures["nav/line.png"] = FlatBarPicture(6, 4, kLine);
    recorder.pictures["nav/slider.png"] = FlatBarPicture(4, 8, kSlider);
    const char* strips[] = {"nav/normal.png", "nav/hover.png", "nav/click.png"};
    for (int s = 0; s < 3; ++s) {
      std::vector<uint32_t> cells;
      for (int k = 0; k < 7; ++k) cells.push_back(CellColour(s, k));
      recorder.pictures[strips[s]] = StripPicture(16, 16, cells);
    }
  }
  TRef<TVideoNavBar> Build(int width, double scale, std::vector<int> buttons = {0, 1},
                           const std::string& pixels = "", bool exitZone = false) {
    auto bar = MakeRef<TVideoNavBar>();
    recorder.Attach(*bar, exitZone);
    bar->LoadSkin(Description(BarText(pixels)), "nav/");
    bar->SetBarWidth(width);
    bar->SetBarScale(scale);
    bar->SetButtons(buttons);
    bar->Refresh(0);
    bar->ShowVolume(0.8);
    return bar;
  }
  TBarRecorder recorder;
};

TEST_F(VideoBar, GeometryAtScalesOneAndTwo) {
  auto bar = Build(400, 1);
  TVideoBarGeometry g = bar->Geometry();
  EXPECT_EQ(g.H, 20);
  EXPECT_EQ(g.E, 400 - 4 - 40 - 4 - 16 - 2);
  EXPECT_EQ(g.x0, 4 + 16 * 3 + 4);
  EXPECT_EQ(g.x1, g.E - 12 * 6);
  EXPECT_EQ(g.vs, 356);
  EXPECT_EQ(g.ve, 396);
  ASSERT_TRUE(bar->Picture());
  EXPECT_EQ(bar->Picture()->Width(), 400);
  EXPECT_EQ(PixelAt(bar->Picture(), 10, 10), CellColour(0, 1));   // playing: cell 1
  EXPECT_EQ(PixelAt(bar->Picture(), 25, 10), CellColour(0, 4));   // backward
  EXPECT_EQ(PixelAt(bar->Picture(), 40, 10), CellColour(0, 5));   // forward
  EXPECT_EQ(PixelAt(bar->Picture(), 340, 10), CellColour(0, 2));  // sound on
  EXPECT_EQ(PixelAt(bar->Picture(), 300, 1), kBack);

  auto big = Build(800, 2);
  g = big->Geometry();
  EXPECT_EQ(big->Scale(), 2);
  EXPECT_EQ(g.H, 40);
  EXPECT_EQ(g.bw, 32);
  EXPECT_EQ(g.E, 800 - 4 - 80 - 4 - 32 - 2);
  EXPECT_EQ(g.x0, 4 + 32 * 3 + 4);
  EXPECT_EQ(g.x1, g.E - 12 * 12);
}

TEST_F(VideoBar, SliderAndTimeDisplayInARepeatingShow) {
  auto bar = Build(400, 1);
  bar->Refresh(75000);
  // 15,000 ms into a 60,000 ms round: 2 + trunc((262 - 4 - 56) x 0.25 + 56) = 108.
  EXPECT_EQ(bar->SliderCentre(), 108);
  EXPECT_EQ(PixelAt(bar->Picture(), 107, 7), kSlider);
  EXPECT_EQ(PixelAt(bar->Picture(), 100, 9), kLine);
  EXPECT_EQ(PixelAt(bar->Picture(), 100, 7), kBack);
  EXPECT_EQ(TimeDisplayGlyphs(15, 60, false),
            (std::vector<int>{0, 0, kGlyphColon, 1, 5, kGlyphSlash, 0, 1, kGlyphColon, 0, 0}));
  EXPECT_EQ(TimeDisplayGlyphs(3725, 3600, true),
            (std::vector<int>{0, 1, kGlyphColon, 0, 2, kGlyphColon, 0, 5, kGlyphSlash, 0, 1,
                              kGlyphColon, 0, 0, kGlyphColon, 0, 0}));
  // The glyphs are white text drawn between the track and the sound button.
  bool white = false;
  for (int x = 262; x < 336 && !white; ++x)
    for (int y = 5; y < 15; ++y)
      if (PixelAt(bar->Picture(), x, y) == 0xFFFFFFFFu) white = true;
  EXPECT_TRUE(white);

  recorder.duration = 3600000;
  auto hours = Build(400, 1);
  EXPECT_TRUE(hours->Hours());
  EXPECT_EQ(hours->Geometry().x1, bar->Geometry().x1 - 6 * 6);
}

TEST_F(VideoBar, InertAndHalvedBars) {
  EXPECT_TRUE(Build(100, 1)->Inert());
  EXPECT_EQ(Build(100, 1)->Picture(), nullptr);
  auto halved = Build(400, 2);  // 8 + 40 + 100 >= 134 at scale 2
  EXPECT_FALSE(halved->Inert());
  EXPECT_EQ(halved->Scale(), 1);
  // Unscaled spaces alone leave no room for the rule: halving ends, the bar is inert.
  recorder.pictures["nav/slider.png"] = FlatBarPicture(1, 1, kSlider);
  EXPECT_TRUE(Build(400, 1, {},
                    "BarSize=400,20\nBtnSize=2,2\nDigitSize=0,0\nTrackHeight=2\n"
                    "VolumeControlLength=0\nLeftSpace=287\n")
                  ->Inert());
  for (double scale : {0.0, -1.0, std::nan(""), 1e12}) EXPECT_TRUE(Build(400, scale)->Inert());
}

TEST_F(VideoBar, PlayPauseMuteAndConfiguredButtons) {
  auto bar = Build(400, 1);
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 10, 10);
  EXPECT_EQ(recorder.clicks, std::vector<int>{-1});
  EXPECT_TRUE(bar->Paused());
  EXPECT_EQ(PixelAt(bar->Picture(), 10, 10), CellColour(2, 0));  // pressed, paused
  bar->MouseEvent(kNavLeftButton, 0, kNavButtonUp, 10, 10);
  EXPECT_EQ(PixelAt(bar->Picture(), 10, 10), CellColour(0, 0));
  bar->MouseEvent(0, 0, kNavMove, 10, 41);
  EXPECT_EQ(PixelAt(bar->Picture(), 40, 10), CellColour(1, 5));  // hover on forward
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 10, 25);
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 10, 41);
  EXPECT_EQ(recorder.clicks, (std::vector<int>{-1, 0, 1}));
  // The sound button mutes and unmutes.
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 10, 340);
  EXPECT_EQ(bar->Volume(), 0);
  bar->MouseEvent(kNavLeftButton, 0, kNavButtonUp, 10, 340);
  EXPECT_EQ(PixelAt(bar->Picture(), 340, 10), CellColour(0, 3));  // sound off
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 10, 340);
  EXPECT_EQ(recorder.volumes, (std::vector<double>{0, 0.8}));
}

TEST_F(VideoBar, PositionDragPausesSeeksAndResumes) {
  auto bar = Build(400, 1);
  bar->Refresh(30000);  // centre 2 + trunc(202 x 0.5 + 56) = 159
  ASSERT_EQ(bar->SliderCentre(), 159);
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 10, 160);  // grab offset 1
  EXPECT_EQ(recorder.clicks, std::vector<int>{-1});
  bar->MouseEvent(0, kNavLeftHeld, kNavMove, 10, 109);  // centre 108: 50 / 202 of the show
  ASSERT_EQ(recorder.seeks.size(), 1u);
  EXPECT_DOUBLE_EQ(recorder.seeks[0], 60000.0 * 50 / 202);
  bar->Refresh(1000);  // ignored while dragging
  EXPECT_DOUBLE_EQ(bar->Position(), 60000.0 * 50 / 202);
  bar->MouseEvent(0, kNavLeftHeld, kNavMove, 10, 500);  // outside the track: no seek
  bar->MouseEvent(kNavLeftButton, 0, kNavButtonUp, 10, 262);
  EXPECT_EQ(recorder.clicks, (std::vector<int>{-1, -1}));
  ASSERT_EQ(recorder.seeks.size(), 2u);
  EXPECT_DOUBLE_EQ(recorder.seeks[1], 60000.0);  // limited to the track's end
  EXPECT_FALSE(bar->Paused());
}

TEST_F(VideoBar, VolumeTrackAndExitZone) {
  auto bar = Build(400, 1, {0, 1}, "", true);
  EXPECT_EQ(recorder.exitChanges, 1);
  ASSERT_TRUE(bar->ExitPicture());
  EXPECT_EQ(PixelAt(bar->ExitPicture(), 10, 10), CellColour(0, 6));
  // Pressed elsewhere, released over the volume track: the volume is set there.
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 1, 300);
  bar->MouseEvent(kNavLeftButton, 0, kNavButtonUp, 10, 356 + 2 + 18);
  ASSERT_EQ(recorder.volumes.size(), 1u);
  EXPECT_DOUBLE_EQ(recorder.volumes[0], 0.5);
  // In the exit zone the point is in exit-picture pixels.
  recorder.exitZone = true;
  bar->MouseEvent(kNavLeftButton, kNavLeftHeld, kNavButtonDown, 10, 10);
  EXPECT_EQ(recorder.clicks, std::vector<int>{-2});
  EXPECT_EQ(PixelAt(bar->ExitPicture(), 10, 10), CellColour(2, 6));
}

TEST_F(VideoBar, FolderWithoutDelimiterIsRefused) {
  auto bar = MakeRef<TVideoNavBar>();
  recorder.Attach(*bar);
  EXPECT_THROW(bar->LoadSkin(Description(BarText()), "nav"), EAssertionFailed);
}

}  // namespace
}  // namespace vyr::test
