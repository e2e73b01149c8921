#include "imaging/bitmap/png_file_queue.h"

#include <algorithm>

namespace vyr {

TPngFileQueue::TPngFileQueue(int workers, int pending, TPngOptions options)
    : options_(options), pending_(static_cast<size_t>(std::max(pending, 1))) {
  for (int i = 0; i < std::max(workers, 1); ++i) workers_.emplace_back([this] { Work(); });
}

TPngFileQueue::~TPngFileQueue() {
  Finish();
  {
    std::lock_guard guard(lock_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

bool TPngFileQueue::Add(TRef<TBitmap> picture, std::string path) {
  std::unique_lock guard(lock_);
  changed_.wait(guard, [this] { return queue_.size() < pending_ || !failure_.empty(); });
  if (!failure_.empty()) return false;
  queue_.emplace_back(std::move(picture), std::move(path));
  changed_.notify_all();
  return true;
}

std::string TPngFileQueue::Finish() {
  std::unique_lock guard(lock_);
  changed_.wait(guard, [this] { return queue_.empty() && writing_ == 0; });
  return failure_;
}

void TPngFileQueue::Work() {
  std::unique_lock guard(lock_);
  for (;;) {
    changed_.wait(guard, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    auto [picture, path] = std::move(queue_.front());
    queue_.pop_front();
    ++writing_;
    changed_.notify_all();
    std::string error;
    // After a failure the rest is dropped: the caller stops at the first bad file.
    const bool skip = !failure_.empty();
    guard.unlock();
    const bool written = skip || WritePng(*picture, path, error, options_);
    picture = nullptr;
    guard.lock();
    if (!written && failure_.empty()) failure_ = path + ": " + error;
    --writing_;
    changed_.notify_all();
  }
}

}  // namespace vyr
