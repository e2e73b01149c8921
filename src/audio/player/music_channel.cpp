#include "audio/player/music_channel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "audio/decode/converter_factory.h"
#include "audio/player/channel_killer.h"
#include "audio/player/channel_music.h"
#include "audio/player/music_player_class.h"
#include "foundation/exceptions.h"

namespace vyr {

TWaveFormat InstanceOutputFormat(const TMediaInfo& info) {
  const TWaveFormat& w = info.wave;
  if (w.formatTag == 1 && (w.bitsPerSample == 8 || w.bitsPerSample == 16)) return w;
  return MakePcmFormat(w.channels, static_cast<int>(w.samplesPerSec), 16);
}

TMusicChannel::TMusicChannel(TChannelMusic& owner, const TMediaInfo& info,
                             TRef<TWaveOutDevice> device)
    : owner_(&owner),
      info_(info),
      format_(InstanceOutputFormat(info)),
      device_(std::move(device)) {}

bool TMusicChannel::Open(const std::string& name) {
  if (format_.channels == 0 || format_.samplesPerSec == 0) return false;
  converter_ = OpenSoundConverter(name, nullptr, owner_->GetPlayer().GetOpenCallback());
  if (!converter_) return false;
  converter_->SetOutputFormat(format_);
  buffer_ = device_->CreateBuffer(format_);
  if (!buffer_) return false;
  blockBytes_ = buffer_->FirstFillSize();
  buffer_->SetFirstFillCallback(
      [this](TWaveOutBuffer&, uint8_t* data, size_t bytes) { FillFirst(data, bytes); });
  buffer_->SetFillCallback(
      [this](TWaveOutBuffer&, uint8_t* data, size_t bytes) { FillNext(data, bytes); });
  buffer_->SetStopCallback(
      [this](TWaveOutBuffer&, uint8_t* data, size_t bytes) { FadeStop(data, bytes); });
  return true;
}

void TMusicChannel::Dispose() {
  // The buffer's service thread ends with the buffer, before the members it calls back.
  buffer_ = nullptr;
  converter_ = nullptr;
  TRefObject::Dispose();
}

void TMusicChannel::Seek(int32_t ms) {
  std::lock_guard guard(lock_);
  VYR_ASSERT_MSG(state_ == TInstanceState::Ready, "Seek of a sound instance that is not ready");
  seekBase_ = ms;
  converter_->Seek(ms);
  converter_->Output().Clear();
  ended_ = !converter_->Fill(blockBytes_);
  prefilled_.SetFormat(format_);
  prefilled_.Clear();
  prefilled_.AppendBytes(converter_->Output().Data(), blockBytes_);
  converter_->Output().Consume(blockBytes_);
  havePrefilled_ = true;
}

int32_t TMusicChannel::FadeFrames(int32_t fadeMs) const {
  const int64_t frames = int64_t{fadeMs} * format_.samplesPerSec / 1000;
  return static_cast<int32_t>(std::max<int64_t>(frames, 1));
}

void TMusicChannel::Start(int32_t fadeMs) {
  bool seekFirst = false;
  {
    std::lock_guard guard(lock_);
    seekFirst = !havePrefilled_;
  }
  if (seekFirst) Seek(0);
  {
    std::lock_guard guard(lock_);
    state_ = TInstanceState::Playing;
    fadingIn_ = true;
    gain_ = 0;
    step_ = 1.0f / static_cast<float>(FadeFrames(fadeMs));
  }
  buffer_->Start();
}

void TMusicChannel::Stop(int32_t fadeMs) {
  {
    std::lock_guard guard(lock_);
    fadingIn_ = false;
    step_ = 1.0f / static_cast<float>(FadeFrames(fadeMs));
    state_ = TInstanceState::Stopping;
    fadeOutArmed_ = true;
  }
  buffer_->RequestStop();
}

int32_t TMusicChannel::Position() {
  return static_cast<int32_t>(std::lround(buffer_->Position())) + seekBase_;
}

void TMusicChannel::SetVolume(float volume) { buffer_->SetVolume(volume); }

TInstanceState TMusicChannel::State() const {
  std::lock_guard guard(lock_);
  return state_;
}

bool TMusicChannel::Ended() const {
  std::lock_guard guard(lock_);
  return ended_;
}

bool TMusicChannel::KillDue() const {
  const double now = device_->Clock().NowMs();
  std::lock_guard guard(lock_);
  return killDelay_ >= 0 && now - killSetAt_ > killDelay_;
}

void TMusicChannel::HandToKiller() {
  {
    std::lock_guard guard(lock_);
    if (std::exchange(handedToKiller_, true)) return;
  }
  TChannelKiller::Instance().Add(TRef<TMusicChannel>::Share(this));
}

void TMusicChannel::FillFirst(uint8_t* data, size_t bytes) {
  std::lock_guard guard(lock_);
  const size_t have = std::min(bytes, prefilled_.Filled());
  std::memcpy(data, prefilled_.Data(), have);
  std::memset(data + have, format_.Is8Bit() ? 128 : 0, bytes - have);
  prefilled_ = TLocalBuffer();
  ApplyFade(data, bytes);
  if (ended_) ScheduleEnd(bytes);
}

void TMusicChannel::FillNext(uint8_t* data, size_t bytes) {
  std::lock_guard guard(lock_);
  TLocalBuffer& out = converter_->Output();
  if (!ended_) {
    ended_ = !converter_->Fill(bytes);
  } else {
    out.PadTo(bytes, format_.Is8Bit() ? 128 : 0);
  }
  std::memcpy(data, out.Data(), bytes);
  out.Consume(bytes);
  ApplyFade(data, bytes);
  if (ended_) ScheduleEnd(bytes);
}

void TMusicChannel::FadeStop(uint8_t* data, size_t bytes) {
  std::lock_guard guard(lock_);
  fadeOutArmed_ = false;
  fadingIn_ = false;
  fadingOut_ = true;
  ApplyFade(data, bytes);
}

void TMusicChannel::ApplyFade(uint8_t* data, size_t bytes) {
  if (fadeOutArmed_) {
    fadeOutArmed_ = false;
    fadingIn_ = false;
    fadingOut_ = true;
  }
  if (!fadingIn_ && !fadingOut_) return;
  const int bits = format_.bitsPerSample;
  VYR_ASSERT_MSG(bits == 8 || bits == 16, "Fade of an unsupported sample width");
  const size_t frameBytes = static_cast<size_t>(format_.FrameBytes());
  const size_t channels = format_.channels;
  for (size_t at = 0; at + frameBytes <= bytes; at += frameBytes) {
    uint8_t* frame = data + at;
    for (size_t c = 0; c < channels; ++c) {
      if (bits == 16) {
        int16_t s;
        std::memcpy(&s, frame + 2 * c, 2);
        s = static_cast<int16_t>(std::lround(gain_ * s));
        std::memcpy(frame + 2 * c, &s, 2);
      } else {
        frame[c] = static_cast<uint8_t>(128 + std::lround(gain_ * (frame[c] - 128)));
      }
    }
    if (fadingIn_) {
      gain_ += step_;
      if (gain_ >= 1) {
        gain_ = 1;
        fadingIn_ = false;
      }
    } else if (fadingOut_ && gain_ > 0) {
      gain_ -= step_;
      if (gain_ <= 0) {
        gain_ = 0;
        ScheduleEnd(at + frameBytes);
      }
    }
  }
}

void TMusicChannel::ScheduleEnd(size_t offsetInBlock) {
  const bool first = killDelay_ < 0;
  if (!first && state_ != TInstanceState::Stopping) return;
  const double queued = static_cast<double>(buffer_->QueuedBytes());
  double delay =
      std::round((static_cast<double>(offsetInBlock) + queued) / format_.avgBytesPerSec * 1000.0);
  if (delay <= 0) delay += 2000;
  killDelay_ = delay + 20;
  killSetAt_ = device_->Clock().NowMs();
  if (first && !std::exchange(handedToKiller_, true))
    TChannelKiller::Instance().Add(TRef<TMusicChannel>::Share(this));
}

}  // namespace vyr
