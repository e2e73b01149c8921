#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/output/audio_backend.h"

namespace vyr {

namespace {

// No device: the mix is computed and dropped at the pace of the monotonic clock, so
// cursors and clocks run as they would on a device. Cursors are brought up to the clock
// whenever they are read, so they follow it to the sample, not to the thread's wake-ups.
class TNullBackend : public TAudioBackend {
 public:
  ~TNullBackend() override { Stop(); }

  bool Start(TSoftMixer& mixer) override {
    {
      std::lock_guard guard(lock_);
      mixer_ = &mixer;
      start_ = TSystemClock::Instance().NowMs();
      done_ = 0;
    }
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
  }

  void Stop() override {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  TAudioClock& Clock() override { return TSystemClock::Instance(); }
  const char* Name() const override { return "null"; }

  void CatchUp() override {
    std::lock_guard guard(lock_);
    if (!mixer_) return;
    const auto due =
        static_cast<uint64_t>((TSystemClock::Instance().NowMs() - start_) * kMixingRate / 1000.0);
    while (done_ < due) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(due - done_, 4410));
      scratch_.resize(n * 2);
      mixer_->Mix(scratch_.data(), n);
      done_ += n;
    }
  }

 private:
  void Run() {
    while (!stop_) {
      CatchUp();
      // About one period of a real device: readers catch the cursors up themselves, so
      // waking more often would only cost a paused show its idle processor time.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  std::mutex lock_;  // one thread mixes at a time
  TSoftMixer* mixer_ = nullptr;
  double start_ = 0;
  uint64_t done_ = 0;
  std::vector<int16_t> scratch_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<TAudioBackend> MakeNullBackend() { return std::make_unique<TNullBackend>(); }

}  // namespace vyr
