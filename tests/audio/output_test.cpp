#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <thread>
#include <utility>

#include "audio/output/capture_backend.h"
#include "audio/output/device_factory.h"
#include "audio/output/device_removal.h"
#include "audio/output/soft_wave_out.h"
#include "sound_fixtures.h"

namespace vyr {
namespace {

struct TCaptureDevice {
  TCaptureDevice() {
    auto owned = std::make_unique<TCaptureBackend>();
    backend = owned.get();
    device = MakeRef<TSoftWaveOutDevice>(std::move(owned));
  }
  std::vector<int16_t> Pull(size_t frames) {
    std::vector<int16_t> out(frames * 2);
    backend->Pull(out.data(), frames);
    return out;
  }
  double NowMs() { return device->Clock().NowMs(); }
  TCaptureBackend* backend;
  TRef<TSoftWaveOutDevice> device;
};

// Fills each frame with its running frame number (mod 30000) on both channels.
struct TCounterSource {
  void Attach(TWaveOutBuffer& buffer) {
    auto fill = [this](TWaveOutBuffer&, uint8_t* data, size_t bytes) {
      ++calls;
      handed += bytes;
      for (size_t i = 0; i + 4 <= bytes; i += 4) {
        const int16_t v = static_cast<int16_t>(next++ % 30000);
        std::memcpy(data + i, &v, 2);
        std::memcpy(data + i + 2, &v, 2);
      }
    };
    buffer.SetFirstFillCallback(fill);
    buffer.SetFillCallback(fill);
  }
  int64_t next = 0;
  int calls = 0;
  size_t handed = 0;
};

TEST(WaveOutVolume, HundredthsOfADecibel) {
  const std::pair<float, int32_t> cases[] = {{0.5f, -600},  {1.f, 0},       {2.f, 0},
                                             {0.f, -10000}, {0.25f, -1200}, {1e-9f, -10000}};
  for (const auto& [volume, attenuation] : cases)
    EXPECT_EQ(VolumeToAttenuation(volume), attenuation);
  EXPECT_FLOAT_EQ(AttenuationToVolume(-600), 0.5f);
  EXPECT_EQ(AttenuationToVolume(-10000), 0.f);

  TCaptureDevice capture;
  auto buffer = capture.device->CreateBuffer(MixingFormat());
  EXPECT_FLOAT_EQ(buffer->GetVolume(), 1.f);
  buffer->SetVolume(0.5f);
  EXPECT_FLOAT_EQ(buffer->GetVolume(), 0.5f);
  EXPECT_EQ(static_cast<TSoftWaveOutBuffer&>(*buffer).Voice().Attenuation(), -600);
}

TEST(WaveOutBuffer, RingSizesFollowTheFormat) {
  TCaptureDevice capture;
  auto buffer = capture.device->CreateBuffer(MakePcmFormat(1, 22050, 16));
  auto& soft = static_cast<TSoftWaveOutBuffer&>(*buffer);
  EXPECT_EQ(soft.BufferSize(), 88200u);
  EXPECT_EQ(buffer->FirstFillSize(), 66150u);
  EXPECT_EQ(soft.LargestFill(), 44100u);
}

TEST(WaveOutBuffer, CaptureDeliversTheFilledDataOnTheServiceSchedule) {
  TCaptureDevice capture;
  auto buffer = capture.device->CreateBuffer(MixingFormat());
  auto& soft = static_cast<TSoftWaveOutBuffer&>(*buffer);
  TCounterSource source;
  source.Attach(*buffer);
  buffer->Start();
  const auto first = capture.Pull(441);  // 10 ms: the first fill happened before
  EXPECT_EQ(source.calls, 1);
  EXPECT_EQ(source.handed, 264600u);  // 1.5 s
  EXPECT_EQ(first[0], 0);
  EXPECT_EQ(first[2 * 440 + 1], 440);

  // 3.5 s in pieces: the service runs every 100 ms of pulled audio and wraps the ring.
  std::vector<int16_t> all = first;
  for (int i = 0; i < 35; ++i) {
    const auto part = capture.Pull(4410);
    all.insert(all.end(), part.begin(), part.end());
  }
  for (size_t f = 0; f < all.size() / 2; f += 997) ASSERT_EQ(all[f * 2], f % 30000) << f;
  const double now = capture.NowMs();
  EXPECT_NEAR(now, 3510, 1e-6);
  EXPECT_NEAR(buffer->Position(), now, 1.0);
  // Queued: from the play cursor to the end of the data handed out.
  const size_t queued = buffer->QueuedBytes();
  EXPECT_EQ((soft.Voice().PlayCursor() + queued) % soft.BufferSize(), soft.WritePosition());
  EXPECT_GE(queued, 264600u - 17640u);
}

TEST(WaveOutBuffer, StopRequestFadesWhatIsQueuedBeyondTwentyFiveMs) {
  TCaptureDevice capture;
  auto buffer = capture.device->CreateBuffer(MixingFormat());
  auto& soft = static_cast<TSoftWaveOutBuffer&>(*buffer);
  TCounterSource source;
  source.Attach(*buffer);
  size_t faded = 0;
  size_t fadeStart = SIZE_MAX;
  buffer->SetStopCallback([&](TWaveOutBuffer&, uint8_t* data, size_t bytes) {
    if (fadeStart == SIZE_MAX) fadeStart = static_cast<size_t>(data - soft.Voice().Data());
    faded += bytes;
    std::memset(data, 0, bytes);
  });
  buffer->Start();
  capture.Pull(4410 * 3);
  const size_t cursor = soft.Voice().PlayCursor();
  size_t queued = (soft.WritePosition() + soft.BufferSize() - cursor) % soft.BufferSize();
  if (queued == 0) queued = soft.BufferSize();  // the service keeps the ring full
  buffer->RequestStop();
  capture.Pull(1);               // the service ran for the wake before the clock moved on
  const size_t lead = 1102 * 4;  // 25 ms on whole frames
  EXPECT_EQ(fadeStart, (cursor + lead) % soft.BufferSize());
  EXPECT_EQ(faded, queued - lead);
  // The 25 ms after the cursor still play; after them only silence.
  const auto rest = capture.Pull(44100 * 2);
  EXPECT_NE(rest[2 * 1000], 0);
  EXPECT_EQ(rest[2 * 1200], 0);
}

TEST(WaveOutMixer, ResamplesVoicesAndSaturatesTheSum) {
  TCaptureDevice capture;
  auto half = capture.device->CreateBuffer(MakePcmFormat(1, 22050, 16));
  auto full = capture.device->CreateBuffer(MixingFormat());
  auto dc = [](int16_t value) {
    return [value](TWaveOutBuffer&, uint8_t* data, size_t bytes) {
      for (size_t i = 0; i + 2 <= bytes; i += 2) std::memcpy(data + i, &value, 2);
    };
  };
  half->SetFirstFillCallback(dc(20000));
  half->SetFillCallback(dc(20000));
  full->SetFirstFillCallback(dc(-30000));
  full->SetFillCallback(dc(-30000));
  half->Start();
  auto out = capture.Pull(44100);
  EXPECT_EQ(out[2 * 30000], 20000);
  EXPECT_EQ(out[2 * 30000 + 1], 20000);
  // One second of device time moves a 22,050 Hz mono voice by 44,100 bytes.
  EXPECT_EQ(static_cast<TSoftWaveOutBuffer&>(*half).Voice().PlayCursor(), 44100u);
  full->Start();
  full->SetVolume(2);
  out = capture.Pull(4410);
  EXPECT_EQ(out[100], -10000);
  half->SetVolume(0);
  out = capture.Pull(4410);
  EXPECT_EQ(out[100], -30000);
  full.Reset();  // a freed buffer leaves the mix
  half->SetVolume(1);
  out = capture.Pull(4410);
  EXPECT_EQ(out[100], 20000);
}

TEST(TimerChannel, CursorClockOnCaptureIsThePulledTimeAcrossWraps) {
  TCaptureDevice capture;
  auto timer = capture.device->CreateTimerChannel();
  EXPECT_FALSE(timer->IsRunning());
  timer->SetTime(5000);
  timer->Start();
  EXPECT_TRUE(timer->IsRunning());
  EXPECT_EQ(timer->GetTime(), 0);  // until the cursor has moved
  capture.Pull(441);
  // The clock starts at the start time when the cursor is first seen moving (at most one
  // poll late) and then keeps that distance to the pulled audio: no drift, no jitter.
  const double offset = timer->GetTime() - (5000 + capture.NowMs());
  EXPECT_LE(offset, 0);
  EXPECT_GE(offset, -TSoftTimerChannel::kPollMs);
  double worst = 0, previous = 0;
  for (int i = 0; i < 700; ++i) {  // 7 s: three wraps of the 2 s ring
    capture.Pull(441 + (i % 7) * 10);
    const double got = timer->GetTime();
    worst = std::max(worst, std::abs(got - (5000 + capture.NowMs()) - offset));
    EXPECT_GE(got, previous);
    previous = got;
  }
  EXPECT_LE(worst, 1.0);
  timer->Stop();
  EXPECT_FALSE(timer->IsRunning());
  // Stopped, the clock holds the cursor time of the moment it stopped.
  const double held = static_cast<TSoftTimerChannel&>(*timer).CursorClock();
  EXPECT_NEAR(held, 5000 + capture.NowMs(), 1);
  capture.Pull(4410);
  EXPECT_EQ(static_cast<TSoftTimerChannel&>(*timer).CursorClock(), held);
}

TEST(TimerChannel, NullBackendFollowsTheMonotonicClock) {
  auto device = CreateWaveOutDevice("null");
  ASSERT_TRUE(device->IsOK());
  auto timer = device->CreateTimerChannel();
  timer->Start();
  const auto begin = std::chrono::steady_clock::now();
  while (timer->GetTime() == 0 &&
         std::chrono::steady_clock::now() - begin < std::chrono::seconds(1))
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const double t0 = timer->GetTime();
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const double elapsed =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_NEAR(timer->GetTime() - t0, elapsed, 15);
}

TEST(SdlBackend, DiskDriverWritesTheMix) {
  test::TSoundDir dir;
  const std::string path = dir / "out.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
  {
    auto device = CreateWaveOutDevice("sdl");
    ASSERT_TRUE(device->IsOK());
    EXPECT_STREQ(device->Backend().Name(), "sdl");
    auto buffer = device->CreateBuffer(MakePcmFormat(1, 22050, 16));
    auto fill = [](TWaveOutBuffer&, uint8_t* data, size_t bytes) {
      const int16_t v = 1234;
      for (size_t i = 0; i + 2 <= bytes; i += 2) std::memcpy(data + i, &v, 2);
    };
    buffer->SetFirstFillCallback(fill);
    buffer->SetFillCallback(fill);
    buffer->Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILE");
  const auto bytes = test::ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 4096u * 4);
  const auto samples = test::AsSamples16(bytes.data(), bytes.size());
  EXPECT_EQ(std::count(samples.begin(), samples.end(), 1234),
            static_cast<long>(samples.size()) - std::count(samples.begin(), samples.end(), 0));
  EXPECT_GT(std::count(samples.begin(), samples.end(), 1234), 4096);
}

// The timer's reading with the wall clock just before and just after it (ms), so that a
// comparison with real time holds however long the reading thread was kept waiting.
struct TTimedReading {
  double wallBefore, time, wallAfter;
};
TTimedReading TimedRead(TTimerChannel& timer) {
  const auto wall = [] {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  };
  TTimedReading reading;
  reading.wallBefore = wall();
  reading.time = timer.GetTime();
  reading.wallAfter = wall();
  return reading;
}

TEST(SdlBackend, RemovedDeviceKeepsTheClockRunningOnTheNullBackend) {
  test::TSoundDir dir;
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
  {
    auto device = CreateWaveOutDevice("sdl");
    ASSERT_STREQ(device->Backend().Name(), "sdl");
    auto timer = device->CreateTimerChannel();
    timer->Start();
    // The device's clock runs (a loaded machine may start its thread late).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (timer->GetTime() <= 100 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const TTimedReading before = TimedRead(*timer);
    ASSERT_GT(before.time, 100);
    ASSERT_TRUE(FallBackAfterDeviceRemoval(*device));
    EXPECT_STREQ(device->Backend().Name(), "null");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const TTimedReading after = TimedRead(*timer);
    // The clock goes on from where it stood, at the pace of real time however long the
    // switch and the sleep took: it only ever leans 1 ms per poll toward the cursors.
    const double shortest = after.wallBefore - before.wallAfter;
    const double longest = after.wallAfter - before.wallBefore;
    const double ran = after.time - before.time;
    EXPECT_GE(shortest, 400);
    EXPECT_GE(ran, shortest - shortest / TSoftTimerChannel::kPollMs - 3);
    EXPECT_LE(ran, longest + longest / TSoftTimerChannel::kPollMs + 3);
    EXPECT_FALSE(FallBackAfterDeviceRemoval(*device));
  }
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILE");
}

TEST(CaptureBackend, WritesAWavFileOfWhatWasPulled) {
  test::TSoundDir dir;
  const std::string path = dir / "capture.wav";
  {
    TCaptureDevice capture;
    ASSERT_TRUE(capture.backend->WriteToFile(path));
    auto buffer = capture.device->CreateBuffer(MixingFormat());
    TCounterSource source;
    source.Attach(*buffer);
    buffer->Start();
    capture.Pull(44100);
  }
  const auto bytes = test::ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 44u + 176400u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  const auto samples = test::AsSamples16(bytes.data() + 44, 176400);
  EXPECT_EQ(samples[2 * 12345], 12345);
}

}  // namespace
}  // namespace vyr
