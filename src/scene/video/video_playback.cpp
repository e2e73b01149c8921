#include "scene/video/video_playback.h"

#include <atomic>
#include <mutex>

#include "foundation/log.h"

namespace vyr {

namespace {
std::mutex factoryLock;
TVideoPlaybackFactory& Factory() {
  static TVideoPlaybackFactory factory;
  return factory;
}
std::atomic<double> waitTimeoutMs{10000};
std::atomic<int> waitTimeouts{0};
}  // namespace

void SetVideoWaitTimeoutMs(double ms) { waitTimeoutMs.store(ms); }
double VideoWaitTimeoutMs() { return waitTimeoutMs.load(); }

void NoteVideoWaitTimeout(const std::string& fileName) {
  waitTimeouts.fetch_add(1);
  WriteLine("Video frame wait timed out: " + fileName);
}

int VideoWaitTimeoutCount() { return waitTimeouts.load(); }

void SetVideoPlaybackFactory(TVideoPlaybackFactory factory) {
  std::lock_guard guard(factoryLock);
  Factory() = std::move(factory);
}

TRef<TVideoPlayback> MakeVideoPlayback(const TVideoPlaybackRequest& request) {
  TVideoPlaybackFactory factory;
  {
    std::lock_guard guard(factoryLock);
    factory = Factory();
  }
  return factory ? factory(request) : nullptr;
}

}  // namespace vyr
