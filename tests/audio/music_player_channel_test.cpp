// The channel layer on the capture backend: what a channel plays, where its position
// stands, and how starts, stops and moves fade.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio/mix/composite_params.h"
#include "audio/output/capture_backend.h"
#include "audio/output/soft_wave_out.h"
#include "audio/player/channel_music.h"
#include "audio/player/music_player_class.h"
#include "sound_fixtures.h"

namespace vyr {
namespace {

using namespace vyr::test;

constexpr int kFramesPerStep = 16;
constexpr int kSoundFrames = 441000;  // 10 s

// Frame f of the test sound holds f / 16 on both channels: a sample tells where in the
// file it came from (within 16 frames).
int16_t ValueAt(int64_t frame) { return static_cast<int16_t>(frame / kFramesPerStep); }

class ChannelLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("vyr_channel_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "ramp.wav").string();
    std::vector<int16_t> samples;
    samples.reserve(kSoundFrames * 2);
    for (int f = 0; f < kSoundFrames; ++f) {
      samples.push_back(ValueAt(f));
      samples.push_back(ValueAt(f));
    }
    WriteFileBytes(path_, MakeWav(MixingFormat(), Samples16(samples)));
    auto backend = std::make_unique<TCaptureBackend>();
    backend_ = backend.get();
    device_ = MakeRef<TSoftWaveOutDevice>(std::move(backend));
    engine_ = TMusicPlayerClass::Create(device_);
    ASSERT_TRUE(engine_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Left channel of the next frames of the mix.
  std::vector<int16_t> Pull(size_t frames) {
    std::vector<int16_t> out(frames * 2), left(frames);
    backend_->Pull(out.data(), frames);
    for (size_t i = 0; i < frames; ++i) left[i] = out[2 * i];
    return left;
  }
  double PulledMs() const { return backend_->FramesPulled() / 44.1; }

  std::filesystem::path dir_;
  std::string path_;
  TCaptureBackend* backend_ = nullptr;
  TRef<TSoftWaveOutDevice> device_;
  TRef<TMusicPlayerClass> engine_;
};

TEST_F(ChannelLayer, PlaysFromTheStartWithATenMsFadeIn) {
  auto channel = engine_->CreateChannel(path_, -1);
  ASSERT_TRUE(channel);
  EXPECT_EQ(channel->GetLength(), 10000);
  ASSERT_TRUE(channel->Play(10));
  EXPECT_TRUE(channel->IsPlaying());
  const auto out = Pull(44100);
  EXPECT_EQ(out[0], 0);
  // 441 fade frames: half way the gain is 0.5.
  EXPECT_NEAR(out[3000 / 1], ValueAt(3000), 1);
  EXPECT_NEAR(out[220], 0.5 * ValueAt(220), 1.0);
  for (int f = 441; f < 44100; f += 101) ASSERT_EQ(out[f], ValueAt(f)) << f;
  EXPECT_NEAR(channel->GetPosition(), 1000, 2);
}

TEST_F(ChannelLayer, StartsAtTheRequestedPositionAndMovesWhilePlaying) {
  auto channel = engine_->CreateChannel(path_, 5000);
  ASSERT_TRUE(channel);
  ASSERT_TRUE(channel->Play(10));
  auto out = Pull(22050);
  for (int f = 441; f < 22050; f += 97) ASSERT_EQ(out[f], ValueAt(220500 + f)) << f;
  EXPECT_NEAR(channel->GetPosition(), 5500, 2);

  // A move while playing: the old instance fades out, a new one fades in at 8000 ms.
  channel->Seek(8000);
  out = Pull(44100);
  // Once both fades are over only the new instance sounds.
  for (int f = 2205; f < 44100; f += 89) ASSERT_NEAR(out[f], ValueAt(352800 + f), 1) << f;
  EXPECT_NEAR(channel->GetPosition(), 9000, 2);
}

TEST_F(ChannelLayer, StopFadesOutAndPlayResumesWhereItStopped) {
  auto channel = engine_->CreateChannel(path_, -1);
  ASSERT_TRUE(channel);
  ASSERT_TRUE(channel->Play(10));
  Pull(44100);
  ASSERT_TRUE(channel->Stop(10));
  EXPECT_FALSE(channel->IsPlaying());
  EXPECT_FALSE(channel->Stop(10));
  const auto quiet = Pull(22050);
  // Within 25 ms plus the fade the output falls silent.
  for (int f = 2205; f < 22050; f += 50) ASSERT_EQ(quiet[f], 0) << f;
  const int32_t stoppedAt = channel->GetPosition();
  EXPECT_NEAR(stoppedAt, 1000, 2);

  ASSERT_TRUE(channel->Play(10));
  const auto resumed = Pull(44100);
  const int64_t resumeFrame = int64_t{stoppedAt} * 441 / 10;
  for (int f = 441; f < 44100; f += 103) ASSERT_NEAR(resumed[f], ValueAt(resumeFrame + f), 1) << f;
  EXPECT_NEAR(channel->GetPosition(), stoppedAt + 1000, 2);
}

TEST_F(ChannelLayer, ClockFollowsTheSamplesDelivered) {
  engine_->GetTime();  // starts the clock channel
  const double origin = PulledMs();
  Pull(441);
  // The clock starts when its cursor is first seen moving (at most one 10 ms poll late)
  // and then keeps that distance to the samples delivered.
  const double offset = engine_->GetTime() - (PulledMs() - origin);
  EXPECT_LE(offset, 0);
  EXPECT_GE(offset, -10);
  for (int i = 0; i < 200; ++i) {
    Pull(441 * (1 + i % 5) + i % 3);
    ASSERT_NEAR(engine_->GetTime(), PulledMs() - origin + offset, 1.0) << i;
  }
}

TEST_F(ChannelLayer, CompositeDescriptionsPlayTheirMix) {
  TCompositeParams params;
  params.duration = 2000;
  TCompositeItem& item = params.AddItem(path_, 500);
  item.beginTime = 1000;
  item.duration = 1500;
  auto channel = engine_->CreateChannel(params.SaveToText(), -1);
  ASSERT_TRUE(channel);
  EXPECT_EQ(channel->GetLength(), 2000);
  ASSERT_TRUE(channel->Play(0));  // a 0 ms fade counts as one frame
  const auto out = Pull(44100);
  for (int f = 0; f < 22050; f += 100) ASSERT_EQ(out[f], 0) << f;
  // After the item's own 10 ms de-click fade: the file from 1000 ms on.
  for (int f = 22050 + 441; f < 44100; f += 97) ASSERT_EQ(out[f], ValueAt(44100 + f - 22050));
}

TEST_F(ChannelLayer, MissingSoundsGiveNoChannel) {
  EXPECT_FALSE(engine_->CreateChannel((dir_ / "missing.wav").string(), -1));
  EXPECT_FALSE(engine_->CreateChannel("", -1));
}

}  // namespace
}  // namespace vyr

namespace vyr {
namespace {

TEST_F(ChannelLayer, EndCallbackRunsWhenTheDataRunsOutNotOnAStop) {
  const std::string shortPath = (dir_ / "short.wav").string();
  WriteFileBytes(shortPath,
                 MakeWav(MixingFormat(), Samples16(std::vector<int16_t>(13230 * 2, 1000))));
  std::atomic<int> ends{0};
  auto ending = engine_->CreateChannel(shortPath, -1);
  auto stopped = engine_->CreateChannel(path_, -1);
  ASSERT_TRUE(ending && stopped);
  ending->SetEndCallback([&] { ++ends; });
  stopped->SetEndCallback([&] { ++ends; });
  ending->Play(10);
  stopped->Play(10);
  Pull(4410);
  stopped->Stop(10);
  // The killer frees instances on its own thread once their sound has left the output.
  for (int i = 0; i < 300 && (ending->InstanceCount() > 0 || stopped->InstanceCount() > 0); ++i) {
    Pull(4410);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(ending->InstanceCount(), 0);
  EXPECT_EQ(stopped->InstanceCount(), 0);
  EXPECT_EQ(ends.load(), 1);
  EXPECT_FALSE(ending->IsPlaying());
}

}  // namespace
}  // namespace vyr
