#pragma once
// One playing instance of a sound: its decoder feeding one output buffer, with the
// fades that start and stop it without clicks.

#include <cstdint>
#include <mutex>
#include <string>

#include "audio/decode/local_buffer.h"
#include "audio/decode/media_info.h"
#include "audio/decode/wav_converter.h"
#include "audio/output/wave_out.h"
#include "foundation/ref_object.h"

namespace vyr {

class TChannelMusic;

enum class TInstanceState : int { Ready = 0, Playing = 1, Stopping = 2 };

// PCM the instance delivers: the sound's own PCM, or 16-bit PCM for anything else.
TWaveFormat InstanceOutputFormat(const TMediaInfo& info);

class TMusicChannel : public TRefObject {
 public:
  TMusicChannel(TChannelMusic& owner, const TMediaInfo& info, TRef<TWaveOutDevice> device);

  // Opens the decoder and the output buffer; false when either fails.
  bool Open(const std::string& name);
  // Only while ready (an assertion otherwise).
  void Seek(int32_t ms);
  void Start(int32_t fadeMs);
  void Stop(int32_t fadeMs);
  // Played time in the sound, ms.
  int32_t Position();
  void SetVolume(float volume);

  TInstanceState State() const;
  bool Ended() const;
  // None once the channel let go of it (under InstanceOwnerLock).
  TChannelMusic* Owner() const { return owner_; }
  void DetachOwner() { owner_ = nullptr; }
  // Whether the killer's delay has passed on the device's clock.
  bool KillDue() const;
  // Gives the instance to the killer (once); it is freed when its end is due.
  void HandToKiller();

 protected:
  void Dispose() override;

 private:
  int32_t FadeFrames(int32_t fadeMs) const;
  void FillFirst(uint8_t* data, size_t bytes);
  void FillNext(uint8_t* data, size_t bytes);
  void FadeStop(uint8_t* data, size_t bytes);
  // Copies through the fade; called with the lock held.
  void ApplyFade(uint8_t* data, size_t bytes);
  void ScheduleEnd(size_t offsetInBlock);

  TChannelMusic* owner_;
  TMediaInfo info_;
  TWaveFormat format_;
  TRef<TWaveOutDevice> device_;
  TRef<TWavConverter> converter_;
  TRef<TWaveOutBuffer> buffer_;
  mutable std::mutex lock_;
  TLocalBuffer prefilled_;
  bool havePrefilled_ = false;
  TInstanceState state_ = TInstanceState::Ready;
  float gain_ = 1.0f;
  float step_ = 0;
  bool fadingIn_ = false;
  bool fadingOut_ = false;
  bool fadeOutArmed_ = false;
  bool ended_ = false;
  int32_t seekBase_ = 0;
  double killDelay_ = -1;
  double killSetAt_ = 0;
  bool handedToKiller_ = false;
  size_t blockBytes_ = 0;
};

}  // namespace vyr
