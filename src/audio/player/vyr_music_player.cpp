#include "audio/player/vyr_music_player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "audio/player/channel_killer.h"
#include "audio/player/music_loader.h"
#include "audio/player/show_sound_opener.h"
#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "project/vyr_source.h"

namespace vyr {

TVyrMusicPlayer::TVyrMusicPlayer(TRef<TVyrSource> source, TRef<TWaveOutDevice> device,
                                 TRef<TFileAccessor> files)
    : source_(std::move(source)) {
  VYR_ASSERT_MSG(source_, "No VyrSource for VyrMusicPlayer");
  music_ = MakeRef<TVyrMusicSource>(source_);
  if (files) files_ = files->Clone();
  engine_ = TMusicPlayerClass::Create(device);
  if (engine_ && !engine_->IsOK()) engine_ = nullptr;
  TAudioClock& clock = engine_ ? device->Clock() : TSystemClock::Instance();
  pacer_ = std::make_unique<TCyclePacer>(clock);
  startClock_ = TSystemClock::Instance().NowMs();
  loader_ = MakeRef<TMusicLoader>(*this, engine_, clock,
                                  files_ ? MakeShowSoundOpener(files_) : TAudioOpenCallback());
  if (music_->MusicEnabled() && !music_->SyncMode()) {
    AddItem(MakeRef<TPlaySequence>(*this, music_->ShowPlayListRef(), false, 0, 0));
  }
  scheduledTo_ = kLookAhead;
  ScheduleWindow(0, kLookAhead, true);
}

bool TVyrMusicPlayer::Start() {
  loader_->Start();
  pacer_->Enter();
  return TVyrThread::Start();
}

void TVyrMusicPlayer::Terminate() {
  TVyrThread::Terminate();
  pacer_->Wake();
}

void TVyrMusicPlayer::ThreadFinished() {
  TVyrThread::ThreadFinished();
  pacer_->Leave();
}

void TVyrMusicPlayer::PostEvent(int32_t id, TRef<TRefObject> payload) {
  Events().Post(id, std::move(payload));
  pacer_->Wake();
}

void TVyrMusicPlayer::Stop() {
  loader_->Stop();
  TVyrThread::Stop();
  // Releases go to the stopped loader's closed queue: the channels are dropped here.
  items_.clear();
  operator_.clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(15));
  engine_ = nullptr;
  std::this_thread::sleep_for(std::chrono::milliseconds(15));
}

void TVyrMusicPlayer::Dispose() {
  if (Running()) Stop();
  items_.clear();
  operator_.clear();
  loader_ = nullptr;
  engine_ = nullptr;
  TVyrThread::Dispose();
}

double TVyrMusicPlayer::EngineClock() {
  return engine_ ? engine_->GetTime() : TSystemClock::Instance().NowMs() - startClock_;
}

int TVyrMusicPlayer::NextItemId() {
  const int id = itemCounter_;
  itemCounter_ = itemCounter_ == INT32_MAX ? 0 : itemCounter_ + 1;
  return id;
}

void TVyrMusicPlayer::AddItem(TRef<TPlayItem> item) { items_.push_back(std::move(item)); }

void TVyrMusicPlayer::RequestChannel(TRef<TVyrChannel> channel) {
  loader_->PostEvent(TMusicLoader::kEventCreate, MakeRef<TChannelContainer>(channel));
}

void TVyrMusicPlayer::ReleaseChannel(TRef<TVyrChannel> channel) {
  if (!channel->playing) channel->itemId = -1;
  loader_->PostEvent(TMusicLoader::kEventRelease, MakeRef<TChannelContainer>(std::move(channel)));
}

void TVyrMusicPlayer::SetCurrentSequence(TPlaySequence* sequence) {
  if (currentSequence_ == sequence) return;
  TPlayItem* previous = currentSequence_;
  currentSequence_ = sequence;
  if (previous) previous->Finish(true);
}

void TVyrMusicPlayer::ClearCurrentSequence(TPlaySequence* sequence) {
  if (currentSequence_ != sequence) return;
  currentSequence_ = nullptr;
  WriteLine("Clear CurSequence");
}

void TVyrMusicPlayer::ClearCurrentComment(TPlayComment* comment) {
  if (currentComment_ == comment) {
    currentComment_ = nullptr;
    WriteLine("Clear CurComment !!!!!!!!!!!");
  } else {
    WriteLine("Dispose noncurrent channel !!!!!!!!!!!");
  }
}

void TVyrMusicPlayer::SetRunning(bool running) {
  if (running == requestedRunning_) return;
  requestedRunning_ = running;
  PostEvent(running ? kEventRun : kEventPause);
}

void TVyrMusicPlayer::SetTime(double limit, double time) {
  if (time >= 0) requestedRunning_ = false;
  ready_ = false;
  if (limit >= 0) requestedLimit_ = limit;
  auto data = MakeRef<TTimeData>(time, limit);
  const std::shared_ptr<TMessageItem::Waiter> freed = data->freed;
  PostEvent(kEventSetTime, std::move(data));
  std::unique_lock guard(freed->lock);
  freed->done.wait(guard, [&] { return freed->signalled; });
}

double TVyrMusicPlayer::GetTime() {
  const double clock = EngineClock();
  std::lock_guard guard(clockLock_);
  const double t = running_ ? clock - base_ : base_;
  return std::min(t, limit_);
}

float TVyrMusicPlayer::GetVolume() { return engine_ ? engine_->GetVolume() : 0.0f; }

void TVyrMusicPlayer::SetVolume(float volume) {
  if (engine_) engine_->SetVolume(volume);
}

void TVyrMusicPlayer::HandleEvent(TThreadEventList&, int32_t id, bool& handled,
                                  TRefObject* payload) {
  handled = true;
  switch (id) {
    case kEventChannel: {
      TVyrChannel& channel = *static_cast<TChannelContainer*>(payload)->channel;
      WriteLine("Receive Channel: " + channel.name);
      for (auto& item : items_) {
        if (item->Id() == channel.itemId) {
          item->ChannelReady(channel);
          break;
        }
      }
      break;
    }
    case kEventRun:
    case kEventPause: {
      const double clock = EngineClock();
      std::lock_guard guard(clockLock_);
      const bool run = id == kEventRun;
      if (run != running_) {
        running_ = run;
        base_ = clock - base_;
      }
      break;
    }
    case kEventSetTime: {
      auto& data = *static_cast<TTimeData*>(payload);
      WriteLine("Set Time " + FormatReal(data.time));
      if (data.limit >= 0) {
        std::lock_guard guard(clockLock_);
        limit_ = data.limit;
      }
      if (data.time >= 0) MoveTo(data.time);
      break;
    }
    default:
      VYR_ASSERT_MSG(false, "Unknown EventID");
  }
}

void TVyrMusicPlayer::MoveTo(double t) {
  {
    std::lock_guard guard(clockLock_);
    running_ = false;
    base_ = t;
  }
  for (auto& item : items_) item->Finish(false);
  scheduledTo_ = t + kLookAhead;
  ScheduleWindow(t, t + kLookAhead, true);
}

void TVyrMusicPlayer::ScheduleWindow(double from, double upTo, bool initial) {
  if (!music_->MusicEnabled()) return;
  const double length = music_->ShowLength();
  const bool repeats = source_->Repeats();
  if (music_->SyncMode() && music_->ShowPlayList().Count() > 0 && length > 0) {
    int64_t i = static_cast<int64_t>(std::trunc(from / length));
    const int64_t last = repeats ? static_cast<int64_t>(std::trunc(upTo / length)) : 0;
    if (!initial) i += 1;
    for (int64_t loop = i; loop <= last; ++loop) {
      const double loopStart = static_cast<double>(loop) * length;
      const bool before = from < loopStart;
      AddItem(MakeRef<TPlaySequence>(*this, music_->ShowPlayListRef(), true,
                                     before ? loopStart : from, before ? 0 : from - loopStart));
    }
  }

  const int count = music_->SlideCount();
  if (count == 0) return;
  slideIndex_ = std::max(source_->SlideAt(from), 0);
  const int first = initial ? std::max(slideIndex_ - count, 0) : slideIndex_ + 1;
  int lastIndex = std::max(source_->SlideAt(upTo), 0);
  if (!repeats) lastIndex = std::min(lastIndex, count - 1);
  for (int k = first; k <= lastIndex; ++k) {
    const TSlideMusicInfo& info = music_->Slide(k % count);
    if (!info.HasComment()) continue;
    const double b = (k / count) * length + info.timing.start;
    WriteLine("New Comment begin " + info.comment);
    double start = b, off = 0;
    if (from > b) {
      off = from - b;
      start = from;
    }
    if (off >= info.commentLength) continue;
    auto comment = MakeRef<TPlayComment>(*this);
    const auto position = static_cast<int32_t>(std::lround(off + info.commentOffset));
    WriteLine("~~~~~~~~~~~~~~~~~~~~~~~New Comment params " + FormatReal(position) + " " +
              FormatReal(start) + " " + FormatReal(b + info.commentLength));
    comment->Request(info.comment, position, b + info.commentLength, start);
    AddItem(comment);
  }
}

void TVyrMusicPlayer::StartQueuedChannels() {
  for (auto& channel : operator_) {
    channel->PlayNow();
    WriteLine("+++++++++++++++++++ Play Channel " + channel->name + " Time " +
              FormatReal(EngineClock()));
  }
  operator_.clear();
}

void TVyrMusicPlayer::FreeItems() {
  bool allReady = true;
  for (size_t i = 0; i < items_.size();) {
    if (items_[i]->Finished()) {
      TRef<TPlayItem> done = std::move(items_[i]);
      items_.erase(items_.begin() + static_cast<ptrdiff_t>(i));
      continue;
    }
    allReady = allReady && items_[i]->Ready();
    ++i;
  }
  bool running;
  {
    std::lock_guard guard(clockLock_);
    running = running_;
  }
  ready_ = allReady || running;
}

void TVyrMusicPlayer::Cycle() {
  Events().Process();
  double d = GetTime();
  bool running;
  double limit;
  {
    std::lock_guard guard(clockLock_);
    running = running_;
    limit = limit_;
  }
  if (d >= limit - 1) d = limit - 1;
  if (running) {
    ScheduleWindow(scheduledTo_, d + kLookAhead, false);
    scheduledTo_ = d + kLookAhead;
  }
  // Items may be added while ticking (none are, but the list must stay valid).
  for (size_t i = 0; i < items_.size(); ++i) {
    TRef<TPlayItem> item = items_[i];
    if (!item->Finished()) item->Tick(running, d);
  }
  StartQueuedChannels();
  FreeItems();
}

void TVyrMusicPlayer::MainLoop() {
  try {
    Cycle();
  } catch (const std::exception& e) {
    WriteLine(std::string("Music player: ") + e.what());
  }
  pacer_->Pause(5);
}

}  // namespace vyr
