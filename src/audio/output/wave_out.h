#pragma once
// The output interfaces of the sound engine: a device, one streaming ring buffer per
// playing sound, and the clock channel whose play cursor is the engine's time.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "audio/decode/wave_format.h"
#include "audio/output/audio_clock.h"
#include "foundation/ref_object.h"

namespace vyr {

class TWaveOutBuffer : public TRefObject {
 public:
  // (buffer, bytes to write or fade, count); runs on the buffer's service thread.
  using TCallback = std::function<void(TWaveOutBuffer& buffer, uint8_t* data, size_t bytes)>;

  virtual float GetVolume() = 0;
  virtual void SetVolume(float volume) = 0;
  virtual void Start() = 0;
  // Fades what is queued beyond 25 ms and lets the buffer run on.
  virtual void RequestStop() = 0;
  virtual size_t FirstFillSize() const = 0;
  virtual size_t QueuedBytes() = 0;
  // Played time, ms.
  virtual double Position() = 0;

  void SetFirstFillCallback(TCallback callback) { firstFill_ = std::move(callback); }
  void SetStopCallback(TCallback callback) { stop_ = std::move(callback); }
  void SetFillCallback(TCallback callback) { fill_ = std::move(callback); }

 protected:
  TCallback firstFill_, stop_, fill_;
};

class TTimerChannel : public TRefObject {
 public:
  virtual double GetTime() = 0;
  virtual void SetTime(double ms) = 0;
  virtual bool IsRunning() = 0;
  virtual void Start() = 0;
  virtual void Stop() = 0;
};

class TWaveOutDevice : public TRefObject {
 public:
  virtual bool IsOK() = 0;
  virtual TRef<TWaveOutBuffer> CreateBuffer(const TWaveFormat& format) = 0;
  virtual TRef<TTimerChannel> CreateTimerChannel() = 0;
  // "Now" of the audio layer: the monotonic clock, or the samples pulled on capture.
  virtual TAudioClock& Clock() = 0;
};

// Attenuation in hundredths of a decibel for a linear volume: -600 per halving, clamped
// to -10,000 ... 0; and back.
int32_t VolumeToAttenuation(float volume);
float AttenuationToVolume(int32_t attenuation);

}  // namespace vyr
