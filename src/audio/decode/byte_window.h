#pragma once
// Random access to the bytes of a stream through a cached window, for parsers that probe
// many nearby offsets (frame scans). Moves the stream's position.

#include <cstdint>
#include <vector>

#include "foundation/stream.h"

namespace vyr {

class TByteWindow {
 public:
  // Bytes at or beyond end are never returned.
  TByteWindow(TStream& stream, int64_t end);
  // Copies up to count bytes at position; returns how many were available.
  size_t Get(int64_t position, uint8_t* out, size_t count);
  int64_t End() const { return end_; }

 private:
  static constexpr size_t kWindow = 65536;
  TStream& stream_;
  int64_t end_;
  int64_t start_ = 0;
  std::vector<uint8_t> bytes_;
};

}  // namespace vyr
