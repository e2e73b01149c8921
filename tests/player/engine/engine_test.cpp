// The playback engine on the capture audio backend and a headless device: when the show
// starts, how its clock follows the music, the end barriers, the end of a show, programs of
// slides, seeks and the frames it draws.

#include <algorithm>
#include <cmath>

#include "engine_fixture.h"
#include "imaging/decode/decoder_registry.h"
#include "imaging/decode/picture_budget.h"

namespace vyr::testing {
namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

uint32_t RgbAt(const TBitmap& frame, int x, int y) {
  const uint8_t* p = frame.Row(y) + x * 4;
  return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

bool Near(uint32_t a, uint32_t b, int tolerance = 8) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) >
        tolerance)
      return false;
  return true;
}

using Engine = EngineFixture;

TEST_F(Engine, WaitsPausedThenFollowsTheMusicClock) {
  Start(ColourShow({4000, 8000, 12000, 16000}, {kRed, kGreen, kBlue, kWhite}), 2);
  // Created paused: slides load and frames are drawn, the clock stands still.
  ASSERT_TRUE(WaitFor([&] { return Count(kEventFirstFrame) == 1; }));
  Run(300);
  EXPECT_FALSE(engine_->Active());
  EXPECT_EQ(engine_->ShowTime(), 0);
  const double pulledBefore = backend_->FramesPulled() / 44.1;
  SetPaused(false);
  ASSERT_TRUE(WaitFor([&] { return engine_->ShowTime() > 3000; }));
  // The show time is the music's, give or take the smoothing and a loop step.
  const double music = backend_->FramesPulled() / 44.1 - pulledBefore;
  EXPECT_NEAR(engine_->ShowTime(), music, 300);
  // Reports come at most every 20 ms of show time and rise.
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
}

TEST_F(Engine, FirstFrameShowsTheFirstSlide) {
  Start(ColourShow({4000, 8000, 12000}, {kRed, kGreen, kBlue}));
  ASSERT_TRUE(WaitFor([&] { return Count(kEventFirstFrame) == 1; }));
  TRef<TBitmap> frame = Capture();
  ASSERT_TRUE(frame);
  EXPECT_TRUE(Near(RgbAt(*frame, 160, 120), kRed)) << std::hex << RgbAt(*frame, 160, 120);
}

TEST_F(Engine, SeekShowsTheSlideAndOnlyTheLastSeekReports) {
  Start(ColourShow({4000, 8000, 12000, 16000}, {kRed, kGreen, kBlue, kWhite}));
  ASSERT_TRUE(WaitFor([&] { return Count(kEventFirstFrame) == 1; }));
  positions.clear();
  // Two seeks before the engine runs its queue: the earlier one's reports never arrive.
  Seek(6000);
  Seek(9000);
  ASSERT_TRUE(WaitFor([&] { return !positions.empty(); }));
  Run(200);
  for (int32_t p : positions) EXPECT_EQ(p, 9000);
  ASSERT_TRUE(WaitFor([&] {
    TRef<TBitmap> frame = Capture();
    return frame && Near(RgbAt(*frame, 10, 10), kBlue);
  }));
}

TEST_F(Engine, PauseBarrierStopsUntilReleased) {
  Start(ColourShow({2000, 4000, 6000, 8000}, {kRed, kGreen, kBlue, kWhite}, "",
                   {"", "Pers_EndAction=pause\n"}),
        4);
  SetPaused(false);
  ASSERT_TRUE(WaitFor([&] { return engine_->WaitingAtBarrier(); }));
  Run(400);
  EXPECT_DOUBLE_EQ(engine_->ShowTime(), 4000);
  EXPECT_FALSE(engine_->Active());
  engine_->ClearWaitingAtBarrier();
  ASSERT_TRUE(WaitFor([&] { return engine_->ShowTime() > 4500; }));
}

TEST_F(Engine, LoopEndActionKeepsTheSlideLooping) {
  Start(ColourShow({2000, 4000, 6000}, {kRed, kGreen, kBlue}, "", {"", "Pers_EndAction=loop\n"}),
        4);
  SetPaused(false);
  ASSERT_TRUE(WaitFor([&] { return engine_->ShowTime() > 3000; }));
  // Several loop lengths of music later the show is still inside slide 2.
  Run(2500);
  EXPECT_GT(engine_->ShowTime(), 2000);
  EXPECT_LT(engine_->ShowTime(), 4000);
}

TEST_F(Engine, NonRepeatingShowEndsWithOneEndedReport) {
  Start(ColourShow({1000, 2000, 3000}, {kRed, kGreen, kBlue}, "opt_repeat=stop\n"), 4);
  SetPaused(false);
  ASSERT_TRUE(WaitFor([&] { return endedReports > 0; }));
  Run(500);
  EXPECT_EQ(endedReports, 1);
  EXPECT_EQ(engine_->ShowTime(), 3000);
  EXPECT_EQ(totals, 3000);
  EXPECT_FALSE(engine_->Active());
}

TEST_F(Engine, RepeatingShowWrapsIntoTheNextPass) {
  Start(ColourShow({1000, 2000, 3000}, {kRed, kGreen, kBlue}), 4);
  SetPaused(false);
  ASSERT_TRUE(WaitFor([&] { return engine_->ShowTime() > 3500; }));
  EXPECT_EQ(endedReports, 0);
  ASSERT_TRUE(WaitFor([&] {
    TRef<TBitmap> frame = Capture();
    const double t = engine_->ShowTime();
    // The second pass shows slide 1 again between 3000 and 4000.
    return frame && t > 3100 && t < 3900 && Near(RgbAt(*frame, 10, 10), kRed);
  }));
}

TEST_F(Engine, SlideProgramRunsOnce) {
  Start(ColourShow({1000, 2000, 3000, 4000}, {kRed, kGreen}, "opt_repeat=stop\n",
                   {"", "Pers_RunApp=1\nRunAppFN=tool --flag\n"}),
        4);
  SetPaused(false);
  ASSERT_TRUE(WaitFor([&] { return endedReports > 0; }));
  int runs = 0;
  for (const auto& e : events)
    if (e.id == kEventAction && e.integers[0] == static_cast<int>(TVyrActionKind::RunApp)) {
      ++runs;
      EXPECT_EQ(e.text, "tool --flag");
    }
  EXPECT_EQ(runs, 1);
}

TEST_F(Engine, PauseRequestWhileASeekIsPendingAppliesAfterIt) {
  Start(ColourShow({4000, 8000, 12000}, {kRed, kGreen, kBlue}), 2);
  ASSERT_TRUE(WaitFor([&] { return Count(kEventFirstFrame) == 1; }));
  Seek(5000);
  SetPaused(false);
  ASSERT_TRUE(WaitFor([&] { return engine_->ShowTime() > 5300; }));
  EXPECT_TRUE(engine_->Active());
}

TEST_F(Engine, WindowModeEventCarriesTheShowsSize) {
  Start(ColourShow({4000, 8000, 12000}, {kRed}, "opt_scr_full=0\nopt_withoutborder=0\n"));
  ASSERT_TRUE(WaitFor([&] { return Count(kEventWindowMode) == 1; }));
  for (const auto& e : events)
    if (e.id == kEventWindowMode) {
      EXPECT_EQ(e.integers, (std::vector<int32_t>{320, 240, 1}));
    }
}

TEST_F(Engine, LostDeviceAtANewSizeRebuildsAtTheSameTime) {
  Start(ColourShow({4000, 8000, 12000}, {kRed, kGreen, kBlue}));
  ASSERT_TRUE(WaitFor([&] { return Count(kEventFirstFrame) == 1; }));
  Seek(5000);
  ASSERT_TRUE(WaitFor([&] { return engine_->ShowTime() == 5000; }));
  TWindowBounds bounds;
  bounds.bounds = TIntRect{0, 0, 200, 100};
  bounds.clientWidth = 200;
  bounds.clientHeight = 100;
  engine_->SetWindowBounds(bounds);
  ASSERT_TRUE(WaitFor([&] { return Count(kEventFirstFrame) == 2; }));
  TRef<TBitmap> frame = Capture();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->Width(), 200);
  EXPECT_EQ(engine_->ShowTime(), 5000);
  EXPECT_TRUE(Near(RgbAt(*frame, 100, 50), kGreen)) << std::hex << RgbAt(*frame, 100, 50);
}

TEST_F(Engine, MouseReleaseOnAnObjectWithAnActionPostsIt) {
  const std::string box =
      "object Root:Root\n" +
      test::Obj("Box1", "Box", "Size=320,240\nFitMode=None\nAction=gotoslide(3)\n",
                test::KeyPoint("Time=0\n")) +
      "end\n";
  Start(ColourShow({4000, 8000, 12000}, {kRed, kGreen, kBlue}, "", {box}));
  ASSERT_TRUE(WaitFor([&] { return Count(kEventFirstFrame) == 1; }));
  for (uint8_t type : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    auto mouse = MakeRef<TMouseData>();
    mouse->x = 160;
    mouse->y = 120;
    mouse->button = type == 0 ? 0 : 1;
    mouse->eventType = type;
    engine_->Events().Post(kRequestMouse, mouse);
  }
  ASSERT_TRUE(WaitFor([&] { return Count(kEventAction) == 1; }));
  EXPECT_TRUE(engine_->Hovering());
  for (const auto& e : events)
    if (e.id == kEventAction) {
      EXPECT_EQ(e.integers, (std::vector<int32_t>{static_cast<int>(TVyrActionKind::GotoSlide), 3}));
    }
  // A resting pointer's repeated hit test only refreshes the hover state.
  Run(300);
  EXPECT_EQ(Count(kEventAction), 1);
}

// A decoder that takes a minute unless it is told to stop.
std::atomic<bool> gSlowDecodeStarted{false};
TRef<TBitmapStore> SlowDecode(const TRef<TStream>&, const std::string&, const TRotationHook&) {
  gSlowDecodeStarted = true;
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (DecodeGoOn() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return nullptr;
}

// Closing the player while the loader decodes a picture: the decode is told to stop, so the
// engine (and the window waiting for it) never waits for the picture.
TEST_F(Engine, StoppingDoesNotWaitForAPictureStillDecoding) {
  RegisterDecoder(SlowDecode, {".slow"});
  showFiles["picture.slow"] = {1, 2, 3};
  const std::string picture =
      "object Root:Root\n" + test::Obj("Photo", "Image", "ImageName=picture.slow\n") + "end\n";
  Start(ColourShow({4000, 8000}, {kRed, kGreen}, "", {picture}));
  ASSERT_TRUE(WaitFor([] { return gSlowDecodeStarted.load(); }));
  const auto began = std::chrono::steady_clock::now();
  engine_->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
  // Once stopped, pictures decode again.
  EXPECT_TRUE(DecodeGoOn());
}

}  // namespace
}  // namespace vyr::testing
