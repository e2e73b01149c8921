#pragma once
// The sound engine's output on our software mixer: the device, streaming ring buffers
// serviced every 100 ms, and the silent looping clock channel.

#include <atomic>
#include <memory>
#include <mutex>

#include "audio/output/audio_backend.h"
#include "audio/output/ds_event_thread.h"
#include "audio/output/soft_mixer.h"
#include "audio/output/wave_out.h"

namespace vyr {

class TSoftWaveOutDevice : public TWaveOutDevice {
 public:
  // Starts the backend; the device is usable when it started.
  explicit TSoftWaveOutDevice(std::unique_ptr<TAudioBackend> backend);

  bool IsOK() override { return usable_; }
  TRef<TWaveOutBuffer> CreateBuffer(const TWaveFormat& format) override;
  TRef<TTimerChannel> CreateTimerChannel() override;
  TAudioClock& Clock() override {
    std::lock_guard guard(backendLock_);
    return backend_->Clock();
  }

  TSoftMixer& Mixer() { return mixer_; }
  // Brings the play cursors up to now before they are read.
  void CatchUp();
  TAudioBackend& Backend() { return *backend_; }
  // The device went away: the mix goes on in another backend (on the same clock) from the
  // cursors where they stand. False when the new backend does not start.
  bool MoveToBackend(std::unique_ptr<TAudioBackend> backend);

 protected:
  void Dispose() override;

 private:
  TSoftMixer mixer_;
  std::unique_ptr<TAudioBackend> backend_;
  std::recursive_mutex backendLock_;  // the backend may change while others read it
  bool usable_ = false;
};

class TSoftWaveOutBuffer : public TWaveOutBuffer {
 public:
  TSoftWaveOutBuffer(TRef<TSoftWaveOutDevice> device, const TWaveFormat& format);

  float GetVolume() override;
  void SetVolume(float volume) override;
  void Start() override;
  void RequestStop() override;
  size_t FirstFillSize() const override { return firstFillSize_; }
  size_t QueuedBytes() override;
  double Position() override;

  size_t BufferSize() const { return size_; }
  size_t LargestFill() const { return largestFill_; }
  size_t WritePosition() const { return writePosition_; }
  TMixVoice& Voice() { return *voice_; }

  static constexpr double kWrapMs = 2000;

 protected:
  void Dispose() override;

 private:
  void FirstFill();
  void Service();
  // Hands [from, from + bytes) of the ring, in its one or two parts, to a callback.
  void HandOut(const TCallback& callback, size_t from, size_t bytes, bool recordEnd);
  void UpdatePositionClock();

  TRef<TSoftWaveOutDevice> device_;
  TRef<TMixVoice> voice_;
  TWaveFormat format_;
  size_t size_, largestFill_, firstFillSize_;
  size_t writePosition_ = 0;
  std::atomic<size_t> dataEnd_{0};
  std::atomic<float> volume_{-1};
  std::atomic<bool> stopRequested_{false};
  bool destroyed_ = false;
  std::unique_ptr<TDSEventThread> thread_;
  std::mutex lock_;
  std::mutex positionLock_;
  double wrapSum_ = 0;
  int64_t lastCursor_ = -1;
  double readTime_ = 0;
};

class TSoftTimerChannel : public TTimerChannel {
 public:
  explicit TSoftTimerChannel(TRef<TSoftWaveOutDevice> device);

  double GetTime() override;
  void SetTime(double ms) override;
  bool IsRunning() override;
  void Start() override;
  void Stop() override;

  // The clock of the play cursor, ms.
  double CursorClock();
  static constexpr size_t kBufferBytes = 2 * kMixingBytesPerSecond;
  static constexpr double kPollMs = 10;

 protected:
  void Dispose() override;

 private:
  void Poll();
  double CursorClockLocked(double now) const;
  void ReadCursor(double now);
  void EndPollThread();

  TRef<TSoftWaveOutDevice> device_;
  TRef<TMixVoice> voice_;
  std::recursive_mutex lock_;
  bool running_ = false;
  bool waitingFirstCursor_ = false;
  int64_t lastCursor_ = -1;
  double readTime_ = 0;
  double wrapSum_ = 0;
  double startTime_ = 0;
  double tickOffset_ = 0;
  double difference_ = 0;
  int pollCount_ = 0;
  std::unique_ptr<TDSEventThread> pollThread_;
};

}  // namespace vyr
