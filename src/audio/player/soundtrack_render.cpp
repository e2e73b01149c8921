#include "audio/player/soundtrack_render.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "audio/output/capture_backend.h"
#include "audio/output/soft_wave_out.h"
#include "audio/player/vyr_music_player.h"

namespace vyr {

namespace {

// Channels open on the loader thread in real time; the virtual clock waits meanwhile.
constexpr int kReadyWaitMs = 20000;
// Pulled before the show runs, not written: the clock channel has read its first cursor,
// so the show time follows the pulled samples exactly from the first frame written.
constexpr size_t kLeadInFrames = 2205;
constexpr size_t kPullFrames = 441;

bool WaitReady(TVyrMusicPlayer& player) {
  for (int waited = 0; !player.Ready(); ++waited) {
    if (waited >= kReadyWaitMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace

double SoundtrackEnd(const TVyrMusicSource& music) {
  double end = music.ShowLength();
  if (music.MusicEnabled()) end = std::max(end, music.ShowPlayList().TotalLength());
  return end;
}

TSoundtrackStream::TSoundtrackStream(TRef<TVyrSource> source, TRef<TFileAccessor> files) {
  auto backend = std::make_unique<TCaptureBackend>();
  capture_ = backend.get();
  auto device = MakeRef<TSoftWaveOutDevice>(std::move(backend));
  player_ = MakeRef<TVyrMusicPlayer>(std::move(source), device, std::move(files));
}

TSoundtrackStream::~TSoundtrackStream() { Stop(); }

const TVyrMusicSource& TSoundtrackStream::MusicSource() const { return player_->MusicSource(); }

std::string TSoundtrackStream::Start(double from) {
  player_->Start();
  player_->SetTime(-1, from);
  std::vector<int16_t> block(kPullFrames * 2);
  for (size_t pulled = 0; pulled < kLeadInFrames; pulled += kPullFrames)
    capture_->Pull(block.data(), kPullFrames);
  if (!WaitReady(*player_)) return "the show's sounds did not open in time";
  player_->SetRunning(true);
  return {};
}

void TSoundtrackStream::Stop() {
  if (!player_) return;
  player_->Stop();
  capture_->Stop();
  player_.Reset();
}

TSoundtrackResult RenderSoundtrack(TRef<TVyrSource> source, TRef<TFileAccessor> files,
                                   const std::string& wavPath, TSoundtrackRequest request) {
  TSoundtrackResult result;
  TSoundtrackStream stream(std::move(source), std::move(files));
  result.from = std::max(request.from, 0.0);
  result.to = request.to < 0 ? SoundtrackEnd(stream.MusicSource()) : request.to;
  if (result.to < result.from) {
    result.error = "the end of the range lies before its start";
    return result;
  }
  if (std::string error = stream.Start(result.from); !error.empty()) {
    result.error = error;
  } else if (!stream.Capture().WriteToFile(wavPath)) {
    result.error = "cannot write " + wavPath;
  } else {
    std::vector<int16_t> block(kPullFrames * 2);
    const auto total =
        static_cast<uint64_t>(std::llround((result.to - result.from) * kMixingRate / 1000.0));
    while (result.frames < total) {
      const auto n = static_cast<size_t>(std::min<uint64_t>(kPullFrames, total - result.frames));
      stream.Pull(block.data(), n);
      result.frames += n;
    }
  }
  stream.Stop();
  return result;
}

}  // namespace vyr
