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

TSoundtrackResult RenderSoundtrack(TRef<TVyrSource> source, TRef<TFileAccessor> files,
                                   const std::string& wavPath, TSoundtrackRequest request) {
  TSoundtrackResult result;
  auto backend = std::make_unique<TCaptureBackend>();
  TCaptureBackend& capture = *backend;
  auto device = MakeRef<TSoftWaveOutDevice>(std::move(backend));
  auto player = MakeRef<TVyrMusicPlayer>(std::move(source), device, std::move(files));
  result.from = std::max(request.from, 0.0);
  result.to = request.to < 0 ? SoundtrackEnd(player->MusicSource()) : request.to;
  if (result.to < result.from) {
    result.error = "the end of the range lies before its start";
    return result;
  }
  player->Start();
  player->SetTime(-1, result.from);
  std::vector<int16_t> block(kPullFrames * 2);
  for (size_t pulled = 0; pulled < kLeadInFrames; pulled += kPullFrames)
    capture.Pull(block.data(), kPullFrames);
  if (!WaitReady(*player)) {
    result.error = "the show's sounds did not open in time";
  } else if (!capture.WriteToFile(wavPath)) {
    result.error = "cannot write " + wavPath;
  } else {
    player->SetRunning(true);
    const auto total =
        static_cast<uint64_t>(std::llround((result.to - result.from) * kMixingRate / 1000.0));
    while (result.frames < total) {
      const auto n = static_cast<size_t>(std::min<uint64_t>(kPullFrames, total - result.frames));
      capture.Pull(block.data(), n);
      result.frames += n;
    }
  }
  player->Stop();
  capture.Stop();
  return result;
}

}  // namespace vyr
