#pragma once
// A small bounded queue between the drawing thread and the encoding thread: the producer
// waits while it is full, so memory stays flat however long the show.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace vyr::exporting {

template <class T>
class TBoundedQueue {
 public:
  explicit TBoundedQueue(size_t capacity) : capacity_(capacity ? capacity : 1) {}

  // Waits for room; false when the queue was closed meanwhile (the item is dropped).
  bool Push(T item) {
    std::unique_lock lock(mutex_);
    notFull_.wait(lock, [&] { return closed_ || items_.size() < capacity_; });
    if (closed_) return false;
    items_.push_back(std::move(item));
    notEmpty_.notify_one();
    return true;
  }

  // Waits for an item; empty once the queue is closed and drained.
  std::optional<T> Pop() {
    std::unique_lock lock(mutex_);
    notEmpty_.wait(lock, [&] { return closed_ || !items_.empty(); });
    if (items_.empty()) return std::nullopt;
    T item = std::move(items_.front());
    items_.pop_front();
    notFull_.notify_one();
    return item;
  }

  // No more pushes; what is queued can still be popped.
  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    notFull_.notify_all();
    notEmpty_.notify_all();
  }

 private:
  const size_t capacity_;
  std::mutex mutex_;
  std::condition_variable notFull_, notEmpty_;
  std::deque<T> items_;
  bool closed_ = false;
};

}  // namespace vyr::exporting
