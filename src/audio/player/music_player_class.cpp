#include "audio/player/music_player_class.h"

#include <algorithm>

#include "audio/player/channel_music.h"
#include "foundation/exceptions.h"

namespace vyr {

TMusicPlayerClass::TMusicPlayerClass(TRef<TWaveOutDevice> device) : device_(std::move(device)) {}

TRef<TMusicPlayerClass> TMusicPlayerClass::Create(TRef<TWaveOutDevice> device) {
  if (!device || !device->IsOK()) return nullptr;
  try {
    if (!device->CreateTimerChannel()) return nullptr;
  } catch (const TCommonException&) {
    return nullptr;
  }
  return MakeRef<TMusicPlayerClass>(std::move(device));
}

bool TMusicPlayerClass::IsOK() { return device_ && device_->IsOK(); }

float TMusicPlayerClass::GetVolume() {
  std::lock_guard guard(lock_);
  return volume_;
}

void TMusicPlayerClass::SetVolume(float volume) {
  std::lock_guard guard(lock_);
  volume_ = volume;
  for (TChannelMusic* channel : channels_) channel->SetMasterVolume(volume);
}

void TMusicPlayerClass::SetOpenCallback(TAudioOpenCallback open) {
  std::lock_guard guard(lock_);
  open_ = std::move(open);
}

TAudioOpenCallback TMusicPlayerClass::GetOpenCallback() {
  std::lock_guard guard(lock_);
  return open_;
}

double TMusicPlayerClass::GetTime() {
  std::lock_guard guard(clockLock_);
  if (!clock_) clock_ = device_->CreateTimerChannel();
  if (!clock_->IsRunning()) clock_->Start();
  return clock_->GetTime();
}

TRef<TChannelMusic> TMusicPlayerClass::CreateChannel(const std::string& name, int32_t start) {
  if (!IsOK()) return nullptr;
  auto channel = MakeRef<TChannelMusic>(*this, name);
  if (!channel->IsUsable()) {
    // Never listed: its teardown must not look for itself in the list.
    channel->MarkUnlisted();
    return nullptr;
  }
  std::lock_guard guard(lock_);
  if (volume_ != 1.0f) channel->SetMasterVolume(volume_);
  if (start != -1) channel->Seek(start);
  channels_.push_back(channel.Get());
  return channel;
}

void TMusicPlayerClass::ChannelDestroyed(TChannelMusic& channel) {
  std::lock_guard guard(lock_);
  const auto it = std::find(channels_.begin(), channels_.end(), &channel);
  VYR_ASSERT_MSG(it != channels_.end(), "Channel missing from the sound engine");
  channels_.erase(it);
}

void TMusicPlayerClass::Dispose() {
  {
    std::lock_guard guard(clockLock_);
    if (clock_) clock_->Stop();
    clock_ = nullptr;
  }
  TRefObject::Dispose();
}

}  // namespace vyr
