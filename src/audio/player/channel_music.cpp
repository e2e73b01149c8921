#include "audio/player/channel_music.h"

#include "audio/decode/converter_factory.h"
#include "audio/player/channel_killer.h"
#include "audio/player/music_channel.h"
#include "audio/player/music_player_class.h"
#include "foundation/exceptions.h"

namespace vyr {

TChannelMusic::TChannelMusic(TMusicPlayerClass& player, std::string name)
    : player_(player), name_(std::move(name)) {
  if (ReadSoundInfo(name_, info_, player_.GetOpenCallback()) && info_.kind != TFormatKind::None) {
    std::lock_guard guard(lock_);
    usable_ = NewInstance() != nullptr;
  }
}

bool TChannelMusic::IsUsable() { return usable_; }

TMusicChannel* TChannelMusic::NewInstance() {
  auto instance =
      MakeRef<TMusicChannel>(*this, info_, TRef<TWaveOutDevice>::Share(&player_.Device()));
  if (!instance->Open(name_)) return nullptr;
  instance->SetVolume(volume_ * master_);
  instances_.push_back(instance);
  return instance.Get();
}

void TChannelMusic::ApplyVolume() {
  if (TMusicChannel* current = Current()) current->SetVolume(volume_ * master_);
}

float TChannelMusic::GetVolume() {
  std::lock_guard guard(lock_);
  return volume_;
}

void TChannelMusic::SetVolume(float volume) {
  std::lock_guard guard(lock_);
  volume_ = volume;
  ApplyVolume();
}

float TChannelMusic::GetMasterVolume() {
  std::lock_guard guard(lock_);
  return master_;
}

void TChannelMusic::SetMasterVolume(float volume) {
  std::lock_guard guard(lock_);
  master_ = volume;
  ApplyVolume();
}

int32_t TChannelMusic::GetPosition() {
  std::lock_guard guard(lock_);
  // A stopping instance's buffer runs on silently: its position is not the sound's.
  TMusicChannel* current = Current();
  if (current && current->State() != TInstanceState::Stopping) savedPosition_ = current->Position();
  return savedPosition_;
}

void TChannelMusic::Seek(int32_t ms) {
  std::lock_guard guard(lock_);
  TMusicChannel* current = Current();
  const TInstanceState state = current ? current->State() : TInstanceState::Stopping;
  // Saved in every case: a ready instance whose data ended within its first block is
  // replaced when played, and its replacement starts here too.
  savedPosition_ = ms;
  if (current && state == TInstanceState::Ready) {
    current->Seek(ms);
    return;
  }
  if (current && state == TInstanceState::Playing) current->Stop(10);
  TMusicChannel* fresh = NewInstance();
  if (!fresh) return;
  fresh->Seek(ms);
  if (current && state == TInstanceState::Playing) fresh->Start(10);
}

bool TChannelMusic::Play(int32_t fadeMs) {
  std::lock_guard guard(lock_);
  TMusicChannel* current = Current();
  if (current && current->State() == TInstanceState::Playing) return false;
  if (!current || current->State() == TInstanceState::Stopping || current->Ended()) {
    current = NewInstance();
    if (!current) return false;
    current->Seek(savedPosition_);
  }
  current->Start(fadeMs);
  return true;
}

bool TChannelMusic::Stop(int32_t fadeMs) {
  std::lock_guard guard(lock_);
  TMusicChannel* current = Current();
  if (!current || current->State() != TInstanceState::Playing) return false;
  savedPosition_ = current->Position();
  current->Stop(fadeMs);
  return true;
}

bool TChannelMusic::IsPlaying() {
  std::lock_guard guard(lock_);
  TMusicChannel* current = Current();
  return current && current->State() == TInstanceState::Playing;
}

int TChannelMusic::InstanceCount() {
  std::lock_guard guard(lock_);
  return static_cast<int>(instances_.size());
}

void TChannelMusic::InstanceKilled(TMusicChannel& instance) {
  TRef<TMusicChannel> keep;
  bool ranOut = false;
  {
    std::lock_guard guard(lock_);
    for (auto it = instances_.begin(); it != instances_.end(); ++it) {
      if (it->Get() != &instance) continue;
      keep = std::move(*it);
      instances_.erase(it);
      break;
    }
    if (!keep) return;
    ranOut = keep->Ended() && keep->State() == TInstanceState::Playing;
    if (keep->State() == TInstanceState::Playing) savedPosition_ = keep->Position();
  }
  if (ranOut && endCallback_) endCallback_();
}

void TChannelMusic::Dispose() {
  // Sounding instances fade out and go to the killer, which frees them once their last
  // sound has left the output; the channel does not wait for that (on the capture
  // backend the output only moves while the consumer pulls).
  std::vector<TRef<TMusicChannel>> instances;
  {
    std::lock_guard owners(InstanceOwnerLock());
    std::lock_guard guard(lock_);
    instances.swap(instances_);
    for (auto& instance : instances) instance->DetachOwner();
  }
  for (auto& instance : instances) {
    const TInstanceState state = instance->State();
    if (state == TInstanceState::Playing) instance->Stop(10);
    if (state != TInstanceState::Ready) instance->HandToKiller();
  }
  instances.clear();
  if (listed_) player_.ChannelDestroyed(*this);
  TRefObject::Dispose();
}

}  // namespace vyr
