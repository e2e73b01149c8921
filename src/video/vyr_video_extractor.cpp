#include "video/vyr_video_extractor.h"

#include <chrono>
#include <cstdlib>

#include "foundation/log.h"
#include "platform/thread.h"
#include "scene/video/clip_timing.h"

namespace vyr {

TVyrVideoExtractor::TVyrVideoExtractor(TRef<TFrameSource> source, bool loop)
    : source_(std::move(source)), params_(source_->Params()), loop_(loop) {
  pool_.reserve(4);
  thread_ = std::thread([this] { Run(); });
}

void TVyrVideoExtractor::Dispose() {
  Stop();
  TRefObject::Dispose();
}

int TVyrVideoExtractor::IndexOfTime(double ms) const {
  return FrameIndexOfTime(ms, params_.fps, params_.frameCount, loop_);
}

void TVyrVideoExtractor::Add(TRef<TVideoPicture> picture) {
  if (!picture) return;
  TVideoPicture* raw = picture.Get();
  raw->SetLostHandler([this, raw] { PictureLost(raw); });
  {
    std::lock_guard guard(lock_);
    if (!stopped_) {
      if (pool_.size() == pool_.capacity()) pool_.reserve(pool_.capacity() * 2);
      pool_.push_back(TPoolEntry{std::move(picture), kNoFrame, kNoFrame});
      changed_.notify_all();
      return;
    }
  }
  raw->SetLostHandler({});
}

void TVyrVideoExtractor::PictureLost(TVideoPicture* picture) {
  std::lock_guard guard(lock_);
  for (TPoolEntry& entry : pool_) {
    if (entry.picture.Get() != picture) continue;
    if (entry.decoded >= 0) wanted_ = entry.decoded;
    entry.decoded = kNoFrame;
    changed_.notify_all();
  }
}

bool TVyrVideoExtractor::Holds(int index) const {
  for (const TPoolEntry& entry : pool_)
    if (entry.decoded == index) return true;
  return false;
}

bool TVyrVideoExtractor::Request(bool wait, double t, double timeoutMs) {
  std::unique_lock guard(lock_);
  for (TPoolEntry& entry : pool_)
    if (!entry.picture->Valid()) entry.decoded = kInvalidFrame;
  const int i = IndexOfTime(t);
  if (!Holds(i)) {
    wanted_ = i;
    changed_.notify_all();
  }
  if (!wait) return true;
  return changed_.wait_for(guard, std::chrono::duration<double, std::milli>(timeoutMs),
                           [&] { return wanted_ != i || stopped_; });
}

size_t TVyrVideoExtractor::NearestEntry(int c, bool validOnly) const {
  size_t best = pool_.size();
  int64_t bestDistance = 0;
  bool bestBelow = false;
  for (size_t k = 0; k < pool_.size(); ++k) {
    const TPoolEntry& entry = pool_[k];
    if (validOnly && !entry.picture->Valid()) continue;
    const int64_t distance = std::llabs(static_cast<int64_t>(entry.decoded) - c);
    const bool below = entry.decoded <= c;
    // Nearest; on equal distance one at or below c, and of those the later one.
    if (best == pool_.size() || distance < bestDistance ||
        (distance == bestDistance && (below || !bestBelow))) {
      best = k;
      bestDistance = distance;
      bestBelow = below;
    }
  }
  return best;
}

bool TVyrVideoExtractor::Lend(double rate, double t, TPoolEntry& entry, bool& exact) {
  std::lock_guard guard(lock_);
  const int c = IndexOfTime(t);
  const size_t k = NearestEntry(c, false);
  if (k == pool_.size()) return false;
  entry = std::move(pool_[k]);
  pool_.erase(pool_.begin() + static_cast<ptrdiff_t>(k));
  entry.requested = c;
  exact = entry.decoded == c;
  // The frame one display frame later is decoded next.
  int next = rate > 0 ? IndexOfTime(t + 1000 / rate) : c + 1;
  if (rate > 0 && next == c) ++next;
  if (next >= params_.frameCount)
    next = loop_ && params_.frameCount > 0 ? next % params_.frameCount : params_.frameCount - 1;
  if (next != entry.decoded && !Holds(next)) {
    wanted_ = next;
    changed_.notify_all();
  }
  return true;
}

bool TVyrVideoExtractor::LendValid(double t, TPoolEntry& entry) {
  std::lock_guard guard(lock_);
  const int c = IndexOfTime(t);
  const size_t k = NearestEntry(c, true);
  if (k == pool_.size()) return false;
  entry = std::move(pool_[k]);
  pool_.erase(pool_.begin() + static_cast<ptrdiff_t>(k));
  entry.requested = c;
  return true;
}

void TVyrVideoExtractor::GiveBack(TPoolEntry entry) {
  if (!entry.picture) return;
  {
    std::lock_guard guard(lock_);
    if (!stopped_) {
      pool_.push_back(std::move(entry));
      changed_.notify_all();
      return;
    }
  }
  // Pictures are let go outside the lock (a picture's end may report to its drawer).
  entry.picture->SetLostHandler({});
}

void TVyrVideoExtractor::Stop() {
  {
    std::lock_guard guard(lock_);
    stopped_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id())
      thread_.detach();
    else
      thread_.join();
  }
  std::vector<TPoolEntry> released;
  {
    std::lock_guard guard(lock_);
    released.swap(pool_);
  }
  for (TPoolEntry& entry : released) entry.picture->SetLostHandler({});
}

int TVyrVideoExtractor::Wanted() const {
  std::lock_guard guard(lock_);
  return wanted_;
}

std::vector<int> TVyrVideoExtractor::PoolIndexes() const {
  std::lock_guard guard(lock_);
  std::vector<int> indexes;
  for (const TPoolEntry& entry : pool_) indexes.push_back(entry.decoded);
  return indexes;
}

int TVyrVideoExtractor::DecodeCount() const {
  std::lock_guard guard(lock_);
  return decodes_;
}

void TVyrVideoExtractor::Run() {
  // One step below normal until the first frame is decoded: opening clips does not slow the
  // frames on screen.
  const int normal = CurrentThreadNice();
  bool lowered = SetCurrentThreadNice(normal + 1);
  for (;;) {
    TPoolEntry entry;
    int index = kNoFrame;
    {
      std::unique_lock guard(lock_);
      changed_.wait(guard, [&] { return stopped_ || (wanted_ >= 0 && !pool_.empty()); });
      if (stopped_) break;
      guard.unlock();
      std::this_thread::yield();
      guard.lock();
      if (stopped_) break;
      if (wanted_ < 0 || pool_.empty()) continue;
      if (Holds(wanted_)) {
        wanted_ = kNoFrame;
        changed_.notify_all();
        continue;
      }
      // The least useful picture: farthest from the wanted frame; on equal distance one
      // above it, and of those the later one.
      size_t far = 0;
      int64_t farDistance = -1;
      bool farAbove = false;
      for (size_t k = 0; k < pool_.size(); ++k) {
        const int64_t distance = std::llabs(static_cast<int64_t>(pool_[k].decoded) - wanted_);
        const bool above = pool_[k].decoded > wanted_;
        if (distance > farDistance || (distance == farDistance && (above || !farAbove))) {
          far = k;
          farDistance = distance;
          farAbove = above;
        }
      }
      entry = std::move(pool_[far]);
      pool_.erase(pool_.begin() + static_cast<ptrdiff_t>(far));
      index = wanted_;
    }
    bool ok = false;
    try {
      entry.picture->SetValid(false);
      ok = source_->GetFrame(index, *entry.picture);
    } catch (const std::exception& e) {
      WriteLine(std::string("GetFrame ") + std::to_string(index) + " Error= " + e.what());
    }
    if (ok) {
      entry.picture->MarkWritten();
      entry.picture->SetValid(true);
    }
    if (lowered) {
      // Refused without the privilege to raise a priority: the thread stays a step lower.
      SetCurrentThreadNice(normal);
      lowered = false;
    }
    std::unique_lock guard(lock_);
    ++decodes_;
    entry.decoded = index;
    if (stopped_) {
      guard.unlock();
      entry.picture->SetLostHandler({});
      break;
    }
    pool_.push_back(std::move(entry));
    if (wanted_ == index) wanted_ = kNoFrame;
    changed_.notify_all();
  }
  source_.Reset();  // a stopped extractor releases its frame source
}

}  // namespace vyr
