#pragma once
// The EXIF reader of JPEG files: image description, date-time and user comment.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/stream.h"

namespace vyr {

struct TExif {
  std::string imageDescription;
  std::string dateTime;  // "year:month:day hour:minute:second"
  std::string userComment;
};

// Copies the source in steps of 4096 bytes up to the highest position asked for, so that
// reading a few fields never reads the whole file.
class TExifReadCache {
 public:
  explicit TExifReadCache(TStream& source);
  // Exactly count bytes at position, or EStreamReadError.
  void Read(int64_t position, void* out, int64_t count);
  uint8_t Byte(int64_t position);
  int64_t CachedSize() const { return static_cast<int64_t>(cache_.size()); }

 private:
  TStream& source_;
  int64_t sourceSize_;
  std::vector<uint8_t> cache_;
};

// Reads what it can; never raises (errors leave what was read).
TExif ReadExif(TStream& stream);
// The same through an existing cache.
TExif ReadExif(TExifReadCache& cache);

}  // namespace vyr
