#include "audio/output/soft_wave_out.h"

#include <algorithm>
#include <cmath>

namespace vyr {

int32_t VolumeToAttenuation(float volume) {
  if (volume <= 0) return -10000;
  const double v = std::round(-600.0 * std::log2(1.0 / volume));
  return static_cast<int32_t>(std::clamp(v, -10000.0, 0.0));
}

float AttenuationToVolume(int32_t attenuation) {
  if (attenuation == 0) return 1;
  if (attenuation <= -10000) return 0;
  return static_cast<float>(std::exp2(attenuation / 600.0));
}

TSoftWaveOutDevice::TSoftWaveOutDevice(std::unique_ptr<TAudioBackend> backend)
    : backend_(std::move(backend)) {
  usable_ = backend_ && backend_->Start(mixer_);
}

void TSoftWaveOutDevice::Dispose() {
  std::lock_guard guard(backendLock_);
  if (backend_) backend_->Stop();
  usable_ = false;
}

void TSoftWaveOutDevice::CatchUp() {
  std::lock_guard guard(backendLock_);
  if (backend_) backend_->CatchUp();
}

bool TSoftWaveOutDevice::MoveToBackend(std::unique_ptr<TAudioBackend> backend) {
  std::lock_guard guard(backendLock_);
  if (backend_) backend_->Stop();
  backend_ = std::move(backend);
  usable_ = backend_ && backend_->Start(mixer_);
  return usable_;
}

TRef<TWaveOutBuffer> TSoftWaveOutDevice::CreateBuffer(const TWaveFormat& format) {
  return MakeRef<TSoftWaveOutBuffer>(TRef<TSoftWaveOutDevice>::Share(this), format);
}

TRef<TTimerChannel> TSoftWaveOutDevice::CreateTimerChannel() {
  return MakeRef<TSoftTimerChannel>(TRef<TSoftWaveOutDevice>::Share(this));
}

// ---- streaming buffer ----

TSoftWaveOutBuffer::TSoftWaveOutBuffer(TRef<TSoftWaveOutDevice> device, const TWaveFormat& format)
    : device_(std::move(device)), format_(format) {
  const size_t frame = std::max<size_t>(format.blockAlign, 1);
  size_ = 2 * static_cast<size_t>(format.avgBytesPerSec) / frame * frame;
  // Fills stay on whole frames, so the write position never splits a frame.
  largestFill_ = size_ / 2 / frame * frame;
  firstFillSize_ = size_ * 3 / 4 / frame * frame;
  voice_ = MakeRef<TMixVoice>(format, size_);
  device_->Mixer().Add(voice_);
}

void TSoftWaveOutBuffer::Dispose() {
  {
    std::lock_guard guard(lock_);
    voice_->Stop();
    destroyed_ = true;
  }
  thread_.reset();
  device_->Mixer().Remove(voice_.Get());
}

float TSoftWaveOutBuffer::GetVolume() {
  const float stored = volume_.load();
  return stored >= 0 ? stored : AttenuationToVolume(voice_->Attenuation());
}

void TSoftWaveOutBuffer::SetVolume(float volume) {
  volume_.store(volume);
  voice_->SetAttenuation(VolumeToAttenuation(volume));
}

void TSoftWaveOutBuffer::Start() {
  if (thread_) return;
  thread_ = std::make_unique<TDSEventThread>(
      device_->Clock(), [this] { FirstFill(); }, [this] { Service(); });
  thread_->Resume();
}

void TSoftWaveOutBuffer::RequestStop() {
  stopRequested_ = true;
  if (thread_) thread_->Wake();
}

void TSoftWaveOutBuffer::HandOut(const TCallback& callback, size_t from, size_t bytes,
                                 bool recordEnd) {
  while (bytes > 0) {
    const size_t part = std::min(bytes, size_ - from);
    if (recordEnd) dataEnd_.store((from + part) % size_);
    if (callback) callback(*this, voice_->Data() + from, part);
    from = (from + part) % size_;
    bytes -= part;
  }
}

void TSoftWaveOutBuffer::FirstFill() {
  std::lock_guard guard(lock_);
  if (destroyed_) return;
  HandOut(firstFill_ ? firstFill_ : fill_, 0, firstFillSize_, true);
  writePosition_ = firstFillSize_ % size_;
  voice_->Publish();
  voice_->Play();
}

void TSoftWaveOutBuffer::Service() {
  {
    std::lock_guard guard(lock_);
    if (destroyed_) return;
    const size_t frame = std::max<size_t>(format_.blockAlign, 1);
    device_->CatchUp();
    if (stopRequested_.exchange(false)) {
      const size_t cursor = voice_->PlayCursor();
      // 25 ms past the cursor, on a whole frame.
      const size_t lead = static_cast<size_t>(format_.samplesPerSec / 40) * frame;
      const size_t p = (cursor + lead) % size_;
      // Write position at the cursor: the ring is full (it never runs empty while served).
      const size_t queued = (writePosition_ + size_ - cursor) % size_;
      // Only audio queued beyond the first 25 ms is faded.
      if (p != writePosition_ && lead < (queued == 0 ? size_ : queued))
        HandOut(stop_, p, (writePosition_ + size_ - p) % size_, false);
    }
    const size_t cursor = voice_->PlayCursor();
    const size_t free = (cursor + size_ - writePosition_) % size_;
    const size_t n = std::min(largestFill_, free) / frame * frame;
    if (n > 0) {
      HandOut(fill_, writePosition_, n, true);
      writePosition_ = (writePosition_ + n) % size_;
    }
    voice_->Publish();
  }
  UpdatePositionClock();
}

void TSoftWaveOutBuffer::UpdatePositionClock() {
  device_->CatchUp();
  const int64_t cursor = static_cast<int64_t>(voice_->PlayCursor());
  const double now = device_->Clock().NowMs();
  std::lock_guard guard(positionLock_);
  if (lastCursor_ >= 0 && cursor < lastCursor_) wrapSum_ += kWrapMs;
  lastCursor_ = cursor;
  readTime_ = now;
}

double TSoftWaveOutBuffer::Position() {
  const double now = device_->Clock().NowMs();
  std::lock_guard guard(positionLock_);
  if (lastCursor_ < 0) return wrapSum_;
  return wrapSum_ + (now - readTime_) +
         static_cast<double>(lastCursor_) * 10.0 / (format_.avgBytesPerSec / 100.0);
}

size_t TSoftWaveOutBuffer::QueuedBytes() {
  const size_t cursor = voice_->PlayCursor();
  const size_t end = dataEnd_.load();
  return cursor >= end ? end + size_ - cursor : end - cursor;
}

// ---- clock channel ----

TSoftTimerChannel::TSoftTimerChannel(TRef<TSoftWaveOutDevice> device) : device_(std::move(device)) {
  voice_ = MakeRef<TMixVoice>(MixingFormat(), kBufferBytes, true);
  device_->Mixer().Add(voice_);
}

void TSoftTimerChannel::Dispose() {
  voice_->Stop();
  EndPollThread();
  device_->Mixer().Remove(voice_.Get());
}

void TSoftTimerChannel::EndPollThread() {
  std::unique_ptr<TDSEventThread> thread;
  {
    std::lock_guard guard(lock_);
    thread = std::move(pollThread_);
  }
  thread.reset();  // outside the lock: the poll takes it
}

double TSoftTimerChannel::CursorClockLocked(double now) const {
  if (!running_ || lastCursor_ < 0) return startTime_;
  return wrapSum_ + (now - readTime_) +
         static_cast<double>(lastCursor_) * 10.0 / (kMixingBytesPerSecond / 100.0);
}

double TSoftTimerChannel::CursorClock() {
  std::lock_guard guard(lock_);
  return CursorClockLocked(device_->Clock().NowMs());
}

void TSoftTimerChannel::ReadCursor(double now) {
  device_->CatchUp();
  const int64_t cursor = static_cast<int64_t>(voice_->PlayCursor());
  if (lastCursor_ >= 0 && cursor < lastCursor_) wrapSum_ += TSoftWaveOutBuffer::kWrapMs;
  lastCursor_ = cursor;
  readTime_ = now;
}

void TSoftTimerChannel::Poll() {
  std::lock_guard guard(lock_);
  const double now = device_->Clock().NowMs();
  if (waitingFirstCursor_) {
    device_->CatchUp();
    const size_t cursor = voice_->PlayCursor();
    if (cursor == 0) return;
    waitingFirstCursor_ = false;
    lastCursor_ = static_cast<int64_t>(cursor);
    readTime_ = now;
    tickOffset_ = now - startTime_;
    difference_ = CursorClockLocked(now) - startTime_;
  }
  // Steer the tick clock 1 ms per poll toward the cursor clock.
  const double a = CursorClockLocked(now);
  const double b = now - tickOffset_;
  if (a - difference_ > b)
    tickOffset_ -= 1;
  else if (a - difference_ < b)
    tickOffset_ += 1;
  if (++pollCount_ % 10 == 0) ReadCursor(now);
}

double TSoftTimerChannel::GetTime() {
  std::lock_guard guard(lock_);
  if (waitingFirstCursor_) return 0;
  return device_->Clock().NowMs() - tickOffset_;
}

void TSoftTimerChannel::SetTime(double ms) {
  std::lock_guard guard(lock_);
  wrapSum_ = startTime_ = ms;
  tickOffset_ = device_->Clock().NowMs() - ms;
}

bool TSoftTimerChannel::IsRunning() {
  std::lock_guard guard(lock_);
  return running_;
}

void TSoftTimerChannel::Start() {
  {
    std::lock_guard guard(lock_);
    if (running_) return;
    running_ = true;
    voice_->Play();
    pollCount_ = 0;
    SetTime(startTime_);
    waitingFirstCursor_ = true;
    Poll();
    pollThread_ = std::make_unique<TDSEventThread>(
        device_->Clock(), nullptr, [this] { Poll(); }, kPollMs);
  }
  pollThread_->Resume();
}

void TSoftTimerChannel::Stop() {
  {
    std::lock_guard guard(lock_);
    if (!running_) return;
    startTime_ = CursorClockLocked(device_->Clock().NowMs());
    running_ = false;
  }
  EndPollThread();
  std::lock_guard guard(lock_);
  voice_->Stop();
  voice_->SetPlayCursor(0);
  lastCursor_ = -1;
}

}  // namespace vyr
