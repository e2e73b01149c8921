#include <atomic>
#include <thread>
#include <vector>

#include "audio/output/audio_backend.h"

namespace vyr {

namespace {

// No device: the mix is computed and dropped at the pace of the monotonic clock, so
// cursors and clocks run as they would on a device.
class TNullBackend : public TAudioBackend {
 public:
  ~TNullBackend() override { Stop(); }

  bool Start(TSoftMixer& mixer) override {
    stop_ = false;
    thread_ = std::thread([this, &mixer] { Run(mixer); });
    return true;
  }

  void Stop() override {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  TAudioClock& Clock() override { return TSystemClock::Instance(); }
  const char* Name() const override { return "null"; }

 private:
  void Run(TSoftMixer& mixer) {
    TAudioClock& clock = TSystemClock::Instance();
    const double start = clock.NowMs();
    uint64_t done = 0;
    std::vector<int16_t> scratch;
    while (!stop_) {
      const auto due = static_cast<uint64_t>((clock.NowMs() - start) * kMixingRate / 1000.0);
      while (done < due) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(due - done, 4410));
        scratch.resize(n * 2);
        mixer.Mix(scratch.data(), n);
        done += n;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<TAudioBackend> MakeNullBackend() { return std::make_unique<TNullBackend>(); }

}  // namespace vyr
