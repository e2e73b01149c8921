#pragma once
// The sound engine: makes channels on one output device, keeps a master volume, and its
// clock channel is the engine's time.

#include <mutex>
#include <string>
#include <vector>

#include "audio/decode/audio_stream.h"
#include "audio/output/wave_out.h"
#include "foundation/ref_object.h"

namespace vyr {

class TChannelMusic;

class TMusicPlayerClass : public TRefObject {
 public:
  explicit TMusicPlayerClass(TRef<TWaveOutDevice> device);
  // An engine over the device, checked by making and freeing one clock channel; none when
  // that fails or the device is not usable.
  static TRef<TMusicPlayerClass> Create(TRef<TWaveOutDevice> device);

  bool IsOK();
  float GetVolume();
  void SetVolume(float volume);
  // The clock channel's position, ms (created and started on first use).
  double GetTime();
  // None when the device is not usable or the sound cannot be opened; start -1 = no seek.
  TRef<TChannelMusic> CreateChannel(const std::string& name, int32_t start);

  // How the engine's channels open sound files (empty: the process-wide way).
  void SetOpenCallback(TAudioOpenCallback open);
  TAudioOpenCallback GetOpenCallback();

  TWaveOutDevice& Device() const { return *device_; }
  void ChannelDestroyed(TChannelMusic& channel);

 protected:
  void Dispose() override;

 private:
  TRef<TWaveOutDevice> device_;
  TRef<TTimerChannel> clock_;
  std::mutex clockLock_;
  std::mutex lock_;
  float volume_ = 1.0f;
  TAudioOpenCallback open_;
  std::vector<TChannelMusic*> channels_;
};

}  // namespace vyr
