// Frame pacing counts the intervals between frames of consecutive loop steps while playing.
#include "player/engine/frame_pacing.h"

#include <gtest/gtest.h>

namespace vyr {
namespace {

TEST(FramePacing, CountsLateIntervalsOnlyBetweenFramesOfConsecutiveSteps) {
  TFramePacing pacing(20.0);  // late beyond 30 ms
  const struct {
    double at;
    bool drew, playing;
  } steps[] = {
      {0, true, true},    {20, true, true},  {40, true, true},  // two even intervals
      {75, true, true},                                         // 35 ms: late
      {95, false, true},  {500, true, true},                    // a still picture: no interval
      {520, true, false}, {540, true, true},                    // paused frames do not count
      {560, true, true},
  };
  for (const auto& s : steps) pacing.Step(s.at, s.drew, s.playing);
  EXPECT_EQ(pacing.Frames(), 7);
  EXPECT_EQ(pacing.Intervals(), 4);  // 20, 20, 35, 20
  EXPECT_EQ(pacing.Late(), 1);
  EXPECT_NEAR(pacing.FramesPerSecond(), 4 * 1000.0 / 95.0, 1e-9);
  EXPECT_EQ(pacing.Summary(),
            "Frames while playing: 7 drawn, 42.1 per second, 1 of 4 intervals longer than 30 ms");
  EXPECT_EQ(TFramePacing().Summary(), "");
}

}  // namespace
}  // namespace vyr
