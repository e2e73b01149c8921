#pragma once
// The capture backend: a consumer pulls the mix. Its clock is virtual: "now" is the
// position of the samples pulled, and every audio thread's wait ends exactly when the
// pulls reach its deadline.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "audio/output/audio_backend.h"
#include "foundation/stream.h"

namespace vyr {

class TCaptureBackend : public TAudioBackend {
 public:
  TCaptureBackend();
  ~TCaptureBackend() override;

  bool Start(TSoftMixer& mixer) override;
  void Stop() override;
  TAudioClock& Clock() override { return *clock_; }
  const char* Name() const override { return "capture"; }

  // Mixes the next frames (16-bit stereo) into out.
  void Pull(int16_t* out, size_t frames);
  uint64_t FramesPulled() const { return pulled_.load(); }

  // Writes everything pulled to a WAV file in the mixing format.
  bool WriteToFile(const std::string& path);
  // Pulls on a thread of its own, as fast as it can, while anything plays.
  void PullContinuously();

 private:
  void FinishFile();

  TRef<TVirtualClock> clock_;
  TSoftMixer* mixer_ = nullptr;
  std::atomic<uint64_t> pulled_{0};  // read by other threads while a puller runs
  TRef<TStream> file_;
  int64_t fileBytes_ = 0;
  std::atomic<bool> stop_{false};
  std::thread puller_;
};

}  // namespace vyr
