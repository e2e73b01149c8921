// The music player on the capture backend: the show clock follows the samples delivered,
// moves and pauses, the show-wide music in sync mode and slide comments.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio/output/capture_backend.h"
#include "audio/output/soft_wave_out.h"
#include "audio/player/vyr_music_player.h"
#include "project/ini/ini.h"
#include "project/vyr_source.h"
#include "sound_fixtures.h"

namespace vyr {
namespace {

using namespace vyr::test;

constexpr int kFramesPerStep = 16;
int16_t ValueAt(int64_t frame) { return static_cast<int16_t>(frame / kFramesPerStep); }

class MusicPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("vyr_player_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    ramp_ = (dir_ / "ramp.wav").string();
    std::vector<int16_t> samples;
    for (int f = 0; f < 441000; ++f) {  // 10 s: frame f holds f / 16
      samples.push_back(ValueAt(f));
      samples.push_back(ValueAt(f));
    }
    WriteFileBytes(ramp_, MakeWav(MixingFormat(), Samples16(samples)));
    auto backend = std::make_unique<TCaptureBackend>();
    backend_ = backend.get();
    device_ = MakeRef<TSoftWaveOutDevice>(std::move(backend));
  }
  void TearDown() override {
    if (player_) player_->Stop();
    player_ = nullptr;
    std::filesystem::remove_all(dir_);
  }

  // Two slides of 10 s without transitions; the body goes into [Main].
  void Open(const std::string& mainBody, const std::string& slides = "",
            const std::string& repeat = "Stop") {
    auto file = MakeRef<TIniFile>();
    file->LoadFromUtf8("[Main]\nopt_repeat=" + repeat +
                       "\nobject TheEffect:AnEffect\ntime=0\nend\n" + mainBody +
                       "[Times]\nopt_slidescount=2\nopt_synchpos1=10000\nopt_synchpos2=20000\n"
                       "[Slide1]\n[Slide2]\n" +
                       slides);
    player_ = MakeRef<TVyrMusicPlayer>(MakeRef<TVyrSource>(file), device_);
    player_->Start();
  }
  std::string Item(const std::string& keys) {
    return "object I:TMusicItem\nFileName=" + ramp_ + "\n" + keys + "\nend\n";
  }

  std::vector<int16_t> Pull(size_t frames) {
    std::vector<int16_t> out(frames * 2), left(frames);
    backend_->Pull(out.data(), frames);
    for (size_t i = 0; i < frames; ++i) left[i] = out[2 * i];
    return left;
  }
  // Pulls 10 ms at a time, giving the player's threads real time, until the mix sounds;
  // returns the mix from the frame where the sound starts (its fade's silent first frame).
  std::vector<int16_t> PullUntilSound(int64_t& silentFrames) {
    silentFrames = 0;
    for (int i = 0; i < 500; ++i) {
      auto piece = Pull(441);
      for (size_t at = 0; at < piece.size(); ++at) {
        if (piece[at] != 0) {
          auto rest = Pull(44100);
          piece.insert(piece.end(), rest.begin(), rest.end());
          return {piece.begin() + static_cast<ptrdiff_t>(at == 0 ? 0 : at - 1), piece.end()};
        }
      }
      silentFrames += 441;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return {};
  }
  void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }
  // The loader opens sounds in real time: wait for it (up to 5 s).
  bool WaitReady() {
    for (int i = 0; i < 500 && !player_->Ready(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return player_->Ready();
  }
  double PulledMs() const { return backend_->FramesPulled() / 44.1; }

  std::filesystem::path dir_;
  std::string ramp_;
  TCaptureBackend* backend_ = nullptr;
  TRef<TSoftWaveOutDevice> device_;
  TRef<TVyrMusicPlayer> player_;
};

TEST_F(MusicPlayer, ShowWithoutMusicRunsOnTheSilentClock) {
  Open("");
  player_->SetTime(-1, 3000);
  EXPECT_EQ(player_->GetTime(), 3000);
  Settle();
  EXPECT_TRUE(player_->Ready());
  player_->SetRunning(true);
  Settle();
  const double origin = PulledMs();
  Pull(4410);
  const double offset = player_->GetTime() - (3000 + PulledMs() - origin);
  EXPECT_LE(offset, 0);
  EXPECT_GE(offset, -10);
  for (int i = 0; i < 100; ++i) {
    const auto out = Pull(441 + i);
    for (int16_t v : out) ASSERT_EQ(v, 0);
    ASSERT_NEAR(player_->GetTime(), 3000 + PulledMs() - origin + offset, 1.0);
  }
  // Paused, the show time stands still.
  player_->SetRunning(false);
  Settle();
  const double held = player_->GetTime();
  Pull(44100);
  EXPECT_EQ(player_->GetTime(), held);
}

TEST_F(MusicPlayer, LimitCapsTheClock) {
  Open("");
  player_->SetTime(1500, 1000);
  player_->SetRunning(true);
  Settle();
  Pull(44100);
  EXPECT_EQ(player_->GetTime(), 1500);
}

TEST_F(MusicPlayer, SyncModeMoveStartsTheMusicAtTheShowTime) {
  // A 20 s composite: the ramp twice, the second from 10 s on.
  Open("opt_syncmode=1\nobject M:Music\n" + Item("Duration=10000") +
       Item("Duration=10000\nCrossMode=2") + "end\n");
  player_->SetTime(-1, 12000);
  EXPECT_TRUE(WaitReady());
  player_->SetRunning(true);
  int64_t silent = 0;
  const auto out = PullUntilSound(silent);
  ASSERT_FALSE(out.empty());
  // The channel was asked for at 12 s: 2 s into the second item, whenever it started.
  const int64_t fileFrame = 88200;
  for (size_t f = 441; f < out.size(); f += 101)
    ASSERT_NEAR(out[f], ValueAt(fileFrame + static_cast<int64_t>(f)), 1) << f;

  // Pause: the music stops with the show and resumes where it stopped.
  player_->SetRunning(false);
  Settle();
  const auto quiet = Pull(22050);
  for (size_t f = 4410; f < quiet.size(); f += 50) ASSERT_EQ(quiet[f], 0) << f;
  player_->SetRunning(true);
  const auto resumed = PullUntilSound(silent);
  ASSERT_FALSE(resumed.empty());
  // The channel resumes at the file position where it stopped: just after the last frame
  // pulled before the pause (nothing was pulled between that frame and the stop).
  const int64_t lastBeforePause = int64_t{out.back()} * kFramesPerStep;
  EXPECT_NEAR(resumed[441] * kFramesPerStep, lastBeforePause + 441, 44.1 * 3);
}

TEST_F(MusicPlayer, WithoutSyncModeMusicIgnoresPausesAndMoves) {
  Open("object M:Music\n" + Item("Duration=10000") + "end\n");
  player_->SetTime(-1, 0);
  EXPECT_TRUE(WaitReady());
  player_->SetRunning(true);
  int64_t silent = 0;
  const auto out = PullUntilSound(silent);
  ASSERT_FALSE(out.empty());
  player_->SetRunning(false);
  player_->SetTime(-1, 5000);
  Settle();
  // The music runs on from where it was, on the engine clock.
  const auto after = Pull(4410);
  const int64_t last = int64_t{out.back()} * kFramesPerStep;
  EXPECT_NEAR(after[2205] * kFramesPerStep, last + 2205, kFramesPerStep + 1);
  EXPECT_EQ(player_->GetTime(), 5000);
}

TEST_F(MusicPlayer, CommentStartedBeforeAMovePlaysOnFromItsOffset) {
  Open("",
       "object M:Music\nobject C:TSoundComment\nFileName=" + ramp_ + "\nDuration=5000\nend\nend\n");
  // Slide 2 starts at 10 s; its comment is 1 s in at 11 s.
  player_->SetTime(-1, 11000);
  EXPECT_TRUE(WaitReady());
  player_->SetRunning(true);
  int64_t silent = 0;
  const auto out = PullUntilSound(silent);
  ASSERT_FALSE(out.empty());
  for (size_t f = 441; f < out.size(); f += 97)
    ASSERT_NEAR(out[f], ValueAt(44100 + static_cast<int64_t>(f)), 1) << f;
}

}  // namespace
}  // namespace vyr

namespace vyr {
namespace {

using namespace vyr::test;

// Frames between two points of the mix, for checks against the ramp.
constexpr int64_t kSecond = 44100;

TEST_F(MusicPlayer, RepeatingShowHandsTheMusicToTheNextLoopsSequence) {
  // A 30 s composite (the ramp three times) in a 20 s show that repeats.
  Open("opt_syncmode=1\nobject M:Music\n" + Item("Duration=10000") +
           Item("Duration=10000\nCrossMode=2") + Item("Duration=10000\nCrossMode=2") + "end\n",
       "", "repeat");
  player_->SetTime(-1, 19000);
  EXPECT_TRUE(WaitReady());
  player_->SetRunning(true);
  int64_t silent = 0;
  const auto out = PullUntilSound(silent);
  ASSERT_GE(out.size(), 44100u);
  const auto rest = Pull(2 * kSecond);
  std::vector<int16_t> mix(out.begin(), out.end());
  mix.insert(mix.end(), rest.begin(), rest.end());
  // Loop 0 plays the second item from 9 s until the show reaches 20 s ...
  for (int64_t f = 441; f < kSecond - 441; f += 397)
    ASSERT_NEAR(mix[f], ValueAt(9 * kSecond + f), 1) << f;
  // ... then loop 1's sequence plays the composite from its start, and loop 0's is
  // finished: its third item (also at file position 0 then) is not added in. The new
  // sequence starts with the first cycle that sees 20 s on the show clock, which lags the
  // samples by the clock channel's first reading (10 ms) and a cycle (5 ms).
  for (int64_t f = kSecond + 2205; f < 2 * kSecond; f += 397) {
    ASSERT_LE(mix[f], ValueAt(f - kSecond) + 1) << f;
    ASSERT_GE(mix[f], ValueAt(f - kSecond - 16 * 441 / 10)) << f;
  }
}

TEST_F(MusicPlayer, MoveWhilePlayingPausesAndRestartsAtTheNewTime) {
  Open("opt_syncmode=1\nobject M:Music\n" + Item("Duration=10000") +
       Item("Duration=10000\nCrossMode=2") + "end\n");
  player_->SetTime(-1, 12000);
  EXPECT_TRUE(WaitReady());
  player_->SetRunning(true);
  int64_t silent = 0;
  ASSERT_FALSE(PullUntilSound(silent).empty());
  // The move stops the show (and the music with it) at 3 s.
  player_->SetTime(-1, 3000);
  EXPECT_EQ(player_->GetTime(), 3000);
  const auto stopped = Pull(kSecond);
  for (size_t f = 2205; f < stopped.size(); f += 50) ASSERT_EQ(stopped[f], 0) << f;
  EXPECT_EQ(player_->GetTime(), 3000);
  EXPECT_TRUE(WaitReady());
  player_->SetRunning(true);
  const auto out = PullUntilSound(silent);
  ASSERT_FALSE(out.empty());
  for (size_t f = 441; f < out.size(); f += 101)
    ASSERT_NEAR(out[f], ValueAt(3 * kSecond + static_cast<int64_t>(f)), 1) << f;
}

TEST_F(MusicPlayer, PreparedWithAStopTimeTheClockHoldsThere) {
  Open("",
       "object M:Music\nobject C:TSoundComment\nFileName=" + ramp_ + "\nDuration=5000\nend\nend\n");
  // Slide 2's comment starts at 10 s: prepared at 10.5 s it plays from 500 ms in.
  player_->SetTime(11000, 10500);
  EXPECT_TRUE(WaitReady());
  player_->SetRunning(true);
  int64_t silent = 0;
  const auto out = PullUntilSound(silent);
  ASSERT_FALSE(out.empty());
  for (size_t f = 441; f < out.size(); f += 97)
    ASSERT_NEAR(out[f], ValueAt(kSecond / 2 + static_cast<int64_t>(f)), 1) << f;
  EXPECT_EQ(player_->GetTime(), 11000);
  // Lifting the stop time lets the clock run on from where the engine clock stands.
  player_->SetLimit(TVyrMusicPlayer::kNoLimit);
  Pull(4410);
  EXPECT_GT(player_->GetTime(), 11000);
}

TEST_F(MusicPlayer, MissingAndBrokenSoundsAreSilenceAndTheClockRuns) {
  const std::string broken = (dir_ / "broken.wav").string();
  WriteFileBytes(broken, {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0x7F, 'W', 'A', 'V', 'E'});
  Open("opt_syncmode=1\nobject M:Music\nobject I:TMusicItem\nFileName=" +
           (dir_ / "gone.wav").string() + "\nDuration=3000\nend\nobject J:TMusicItem\nFileName=" +
           broken + "\nDuration=3000\nend\nend\n",
       "object M:Music\nobject C:TSoundComment\nFileName=" + (dir_ / "gone.mp3").string() +
           "\nDuration=5000\nend\nend\n");
  player_->SetTime(-1, 9000);
  EXPECT_TRUE(WaitReady());
  player_->SetRunning(true);
  Settle();
  const double origin = PulledMs();
  for (int i = 0; i < 30; ++i)
    for (int16_t v : Pull(4410)) ASSERT_EQ(v, 0);
  EXPECT_NEAR(player_->GetTime(), 9000 + PulledMs() - origin, 20);
}

}  // namespace
}  // namespace vyr
