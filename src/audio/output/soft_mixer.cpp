#include "audio/output/soft_mixer.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "audio/decode/pcm_resampler.h"

namespace vyr {

TMixVoice::TMixVoice(const TWaveFormat& format, size_t bytes, bool silent)
    : format_(format), ring_(bytes, format.bitsPerSample == 8 ? 128 : 0), silent_(silent) {
  step_ = static_cast<double>(format.samplesPerSec) / kMixingRate;
}

void TMixVoice::SetPlayCursor(size_t bytes) {
  const size_t frame = std::max<size_t>(format_.blockAlign, 1);
  cursor_.store(bytes % ring_.size() / frame * frame, std::memory_order_release);
}

void TMixVoice::MixInto(int32_t* acc, size_t frames) {
  (void)published_.load(std::memory_order_acquire);
  const size_t frame = std::max<size_t>(format_.blockAlign, 1);
  const size_t size = ring_.size();
  size_t cursor = cursor_.load(std::memory_order_relaxed);
  const int32_t att = attenuation_.load(std::memory_order_relaxed);
  const bool mute = silent_ || att <= -10000;
  const double gain = att >= 0 ? 1.0 : std::pow(10.0, att / 2000.0);
  for (size_t i = 0; i < frames; ++i) {
    if (!mute) {
      int l0, r0, l1, r1;
      TPcmResampler::ReadFrame(format_, ring_.data() + cursor, l0, r0);
      double left = l0, right = r0;
      if (fraction_ > 0) {
        TPcmResampler::ReadFrame(format_, ring_.data() + (cursor + frame) % size, l1, r1);
        left += (l1 - l0) * fraction_;
        right += (r1 - r0) * fraction_;
      }
      if (gain != 1.0) {
        left *= gain;
        right *= gain;
      }
      acc[i * 2] += static_cast<int32_t>(std::lround(left));
      acc[i * 2 + 1] += static_cast<int32_t>(std::lround(right));
    }
    fraction_ += step_;
    while (fraction_ >= 1.0) {
      fraction_ -= 1.0;
      cursor += frame;
      if (cursor >= size) cursor -= size;
    }
  }
  cursor_.store(cursor, std::memory_order_release);
}

TSoftMixer::TSoftMixer() : voices_(std::make_shared<const TVoiceList>()) {}

void TSoftMixer::Add(TRef<TMixVoice> voice) {
  std::lock_guard guard(editLock_);
  auto next = std::make_shared<TVoiceList>(*voices_.load());
  next->push_back(std::move(voice));
  voices_.store(std::move(next));
}

void TSoftMixer::Remove(TMixVoice* voice) {
  std::lock_guard guard(editLock_);
  auto next = std::make_shared<TVoiceList>(*voices_.load());
  std::erase_if(*next, [voice](const TRef<TMixVoice>& v) { return v.Get() == voice; });
  voices_.store(std::move(next));
}

bool TSoftMixer::AnyPlaying() const {
  const std::shared_ptr<const TVoiceList> voices = voices_.load();
  for (const TRef<TMixVoice>& voice : *voices)
    if (voice->IsPlaying()) return true;
  return false;
}

void TSoftMixer::Mix(int16_t* out, size_t frames) {
  const std::shared_ptr<const TVoiceList> voices = voices_.load();
  accumulator_.assign(frames * 2, 0);
  for (const TRef<TMixVoice>& voice : *voices)
    if (voice->IsPlaying()) voice->MixInto(accumulator_.data(), frames);
  for (size_t i = 0; i < frames * 2; ++i)
    out[i] = static_cast<int16_t>(std::clamp(accumulator_[i], -32768, 32767));
  framesMixed_.fetch_add(frames, std::memory_order_release);
}

}  // namespace vyr
