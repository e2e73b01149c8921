#pragma once
// Writes PNG files on worker threads, so that making the next pictures overlaps the writing
// of the last ones.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "imaging/bitmap/bitmap.h"
#include "imaging/bitmap/png_writer.h"

namespace vyr {

class TPngFileQueue {
 public:
  // workers threads (at least one) write the files; Add waits while `pending` pictures (at
  // least one) are queued, which bounds the memory held.
  TPngFileQueue(int workers, int pending, TPngOptions options);
  // Writes what is queued before it returns.
  ~TPngFileQueue();
  TPngFileQueue(const TPngFileQueue&) = delete;
  TPngFileQueue& operator=(const TPngFileQueue&) = delete;

  // Queues a picture, which must not change any more. False once a file has failed: nothing
  // more is queued then.
  bool Add(TRef<TBitmap> picture, std::string path);
  // Waits until every queued file is written. Empty when all were, else the first failure as
  // "PATH: reason".
  std::string Finish();

 private:
  void Work();

  const TPngOptions options_;
  const size_t pending_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<std::pair<TRef<TBitmap>, std::string>> queue_;
  size_t writing_ = 0;
  bool stopping_ = false;
  std::string failure_;
  std::vector<std::thread> workers_;
};

}  // namespace vyr
