#include "imaging/decode/imaging_log.h"

#include <mutex>

#include "foundation/log.h"

namespace vyr {

namespace {
std::mutex gLock;
TImagingLogSink gSink;
}  // namespace

void SetImagingLogSink(TImagingLogSink sink) {
  std::lock_guard lock(gLock);
  gSink = std::move(sink);
}

void ImagingLog(const std::string& line) {
  TImagingLogSink sink;
  {
    std::lock_guard lock(gLock);
    sink = gSink;
  }
  if (sink)
    sink(line);
  else
    WriteLine(line);
}

}  // namespace vyr
