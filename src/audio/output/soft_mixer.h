#pragma once
// Our software mixer: every playing ring buffer (a voice) is read at its play cursor,
// converted to the device format (16-bit stereo, 44,100 Hz) and added up. Mix never waits:
// voices and the voice list are read through atomics, so the device's callback thread
// takes no lock that fills or decoding hold.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/decode/wave_format.h"
#include "foundation/ref_object.h"

namespace vyr {

// One ring buffer in its own PCM format with a play cursor that the mixer advances.
class TMixVoice : public TRefObject {
 public:
  // silent: the voice only keeps time (its cursor moves, nothing is mixed).
  TMixVoice(const TWaveFormat& format, size_t bytes, bool silent = false);

  const TWaveFormat& Format() const { return format_; }
  size_t Size() const { return ring_.size(); }
  uint8_t* Data() { return ring_.data(); }

  // Makes everything written so far visible to the mixer.
  void Publish() { published_.fetch_add(1, std::memory_order_release); }
  void Play() { playing_.store(true, std::memory_order_release); }
  void Stop() { playing_.store(false, std::memory_order_release); }
  bool IsPlaying() const { return playing_.load(std::memory_order_acquire); }
  size_t PlayCursor() const { return cursor_.load(std::memory_order_acquire); }
  void SetPlayCursor(size_t bytes);
  // Hundredths of a decibel, -10,000 (silence) to 0.
  void SetAttenuation(int32_t centibels) { attenuation_.store(centibels); }
  int32_t Attenuation() const { return attenuation_.load(); }

  // Adds frames of this voice to the accumulator (left, right pairs) and advances the cursor.
  void MixInto(int32_t* accumulator, size_t frames);

 private:
  TWaveFormat format_;
  std::vector<uint8_t> ring_;
  bool silent_;
  std::atomic<uint64_t> published_{0};
  std::atomic<bool> playing_{false};
  std::atomic<size_t> cursor_{0};
  std::atomic<int32_t> attenuation_{0};
  double step_;          // source frames per device frame
  double fraction_ = 0;  // between the cursor's frame and the next, mixer thread only
};

class TSoftMixer {
 public:
  TSoftMixer();
  void Add(TRef<TMixVoice> voice);
  void Remove(TMixVoice* voice);
  // Mixes frames of every playing voice into 16-bit stereo.
  void Mix(int16_t* out, size_t frames);
  bool AnyPlaying() const;
  // Frames mixed so far.
  uint64_t FramesMixed() const { return framesMixed_.load(std::memory_order_acquire); }

 private:
  using TVoiceList = std::vector<TRef<TMixVoice>>;
  std::mutex editLock_;  // serialises Add and Remove, never taken by Mix
  std::atomic<std::shared_ptr<const TVoiceList>> voices_;
  std::vector<int32_t> accumulator_;
  std::atomic<uint64_t> framesMixed_{0};
};

}  // namespace vyr
