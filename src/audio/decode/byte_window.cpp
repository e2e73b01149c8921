#include "audio/decode/byte_window.h"

#include <algorithm>
#include <cstring>

namespace vyr {

TByteWindow::TByteWindow(TStream& stream, int64_t end) : stream_(stream), end_(end) {}

size_t TByteWindow::Get(int64_t position, uint8_t* out, size_t count) {
  if (position < 0 || position >= end_) return 0;
  count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), end_ - position));
  const bool cached = position >= start_ && position + static_cast<int64_t>(count) <=
                                                start_ + static_cast<int64_t>(bytes_.size());
  if (!cached) {
    start_ = position;
    const int64_t want =
        std::min<int64_t>(static_cast<int64_t>(std::max(kWindow, count)), end_ - position);
    bytes_.resize(static_cast<size_t>(want));
    int64_t got = 0;
    if (stream_.Seek(position) == position) {
      while (got < want) {
        const int64_t n = stream_.Read(bytes_.data() + got, want - got);
        if (n <= 0) break;
        got += n;
      }
    }
    bytes_.resize(static_cast<size_t>(got));
  }
  const int64_t available = start_ + static_cast<int64_t>(bytes_.size()) - position;
  const size_t n = static_cast<size_t>(std::clamp<int64_t>(available, 0, count));
  if (n > 0) std::memcpy(out, bytes_.data() + (position - start_), n);
  return n;
}

}  // namespace vyr
