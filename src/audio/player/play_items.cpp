#include "audio/player/play_items.h"

#include <cmath>

#include "audio/player/vyr_music_player.h"
#include "foundation/exceptions.h"
#include "foundation/log.h"

namespace vyr {

TPlayItem::TPlayItem(TVyrMusicPlayer& player) : player_(player), id_(player.NextItemId()) {}

// --- TPlaySequence

TPlaySequence::TPlaySequence(TVyrMusicPlayer& player, TRef<TPlayList> list, bool syncMode,
                             double startTime, double offset)
    : TPlayItem(player),
      list_(std::move(list)),
      freeRunning_(!syncMode),
      startTime_(startTime),
      offset_(offset) {
  ready_ = list_->Count() == 0;
}

void TPlaySequence::Schedule(double t) {
  const int count = list_->Count();
  const double total = list_->TotalLength();
  if (list_->Repeat()) {
    if (count == 0) return;
  } else if (t > total) {
    Finish(true);
    return;
  }
  int index = nextEntry_;
  for (;; ++index) {
    if (!list_->Repeat() && index >= count) break;
    const TMusicItemInfo& entry = list_->Item(index % count);
    const double start = entry.start + (index / count) * total;
    if (start >= t + TVyrMusicPlayer::kLookAhead) break;
    if (start + entry.length <= t) continue;
    WriteLine("Preload " + entry.name);
    WriteLine("Preload to time start " + FormatReal(start));
    const double offset = std::max(t - start, 0.0);
    if (offset > entry.length) continue;
    auto channel = MakeRef<TVyrChannel>(player_.Operator(), entry.name,
                                        static_cast<int32_t>(std::trunc(offset + entry.offset)),
                                        start + offset, start + entry.length, id_);
    channels_.push_back(channel);
    ready_ = false;
    player_.RequestChannel(channel);
  }
  nextEntry_ = index;

  if (!started_) return;
  for (size_t i = 0; i < channels_.size();) {
    TVyrChannel& channel = *channels_[i];
    if (t < channel.endTime) {
      if (channel.ready && !channel.playing && t >= channel.startTime) {
        channel.Start();
        WriteLine("Start Channel: " + channel.name + "   IntTime: " + FormatReal(t));
      }
      ++i;
      continue;
    }
    TRef<TVyrChannel> done = std::move(channels_[i]);
    channels_.erase(channels_.begin() + static_cast<ptrdiff_t>(i));
    if (done->playing) {
      done->Stop();
      WriteLine("Stop Channel: " + done->name);
    }
    player_.ReleaseChannel(done);
    WriteLine("Release Channel Time " + FormatReal(t));
  }
}

void TPlaySequence::Tick(bool running, double x) {
  if (finished_) return;
  if (started_) {
    if (!running && !freeRunning_) {
      for (auto& channel : channels_)
        if (channel->playing) channel->Stop();
      started_ = false;
    }
    if (started_) {
      Schedule(freeRunning_ ? player_.EngineClock() - clockAtStart_ + offset_
                            : x - startTime_ + offset_);
    }
    return;
  }
  if (x >= startTime_) {
    if (running) {
      started_ = true;
      if (freeRunning_) clockAtStart_ = player_.EngineClock();
      WriteLine("Sequence started at abs Time " + FormatReal(x));
    }
    Schedule(freeRunning_ ? offset_ : x - startTime_ + offset_);
    if (running || !freeRunning_) player_.SetCurrentSequence(this);
  } else {
    Schedule(offset_);
  }
}

void TPlaySequence::ChannelReady(TVyrChannel& channel) {
  bool mine = false;
  bool all = true;
  for (auto& own : channels_) {
    if (own.Get() == &channel) mine = true;
    all = all && (own.Get() == &channel || own->ready);
  }
  VYR_ASSERT_MSG(mine, "Channel of another sequence");
  channel.ready = true;
  ready_ = all;
}

void TPlaySequence::Finish(bool force) {
  if (finished_ || (freeRunning_ && !force)) return;
  finished_ = true;
  WriteLine("Finally sequence stop " + FormatReal(player_.EngineClock() - clockAtStart_));
  for (auto& channel : channels_) {
    if (channel->playing) {
      channel->Stop();
      WriteLine("Stop Channel: " + channel->name);
    }
    player_.ReleaseChannel(channel);
  }
  channels_.clear();
}

void TPlaySequence::Dispose() {
  Finish(true);
  player_.ClearCurrentSequence(this);
  WriteLine("TPlaySequence.Disposed");
  TPlayItem::Dispose();
}

// --- TPlayComment

void TPlayComment::Request(const std::string& name, int32_t startPosition, double endTime,
                           double startTime) {
  VYR_ASSERT_MSG(!channel_, "Second channel request of a comment");
  channel_ = MakeRef<TVyrChannel>(player_.Operator(), name, startPosition, startTime, endTime, id_);
  player_.RequestChannel(channel_);
}

void TPlayComment::ChannelReady(TVyrChannel& channel) {
  VYR_ASSERT_MSG(&channel == channel_.Get(), "Channel of another comment");
  channel.ready = true;
  ready_ = true;
}

void TPlayComment::Tick(bool running, double x) {
  if (finished_ || !ready_) return;
  if (x >= channel_->endTime - 10) {
    Finish(true);
  } else if (channel_->playing) {
    if (!running) channel_->Stop();
  } else if (running && x >= channel_->startTime) {
    channel_->Start();
    player_.SetCurrentComment(this);
  }
}

void TPlayComment::Finish(bool) {
  if (finished_) return;
  finished_ = true;
  if (channel_) {
    if (channel_->playing) channel_->Stop();
    player_.ReleaseChannel(std::move(channel_));
    channel_ = nullptr;
  }
}

void TPlayComment::Dispose() {
  Finish(true);
  player_.ClearCurrentComment(this);
  TPlayItem::Dispose();
}

}  // namespace vyr
