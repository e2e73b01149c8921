#include "audio/decode/local_buffer.h"

#include <algorithm>
#include <cstring>

namespace vyr {

void TLocalBuffer::MakeRoom(size_t bytes) {
  if (Free() < bytes) data_.resize(filled_ + bytes);
}

bool TLocalBuffer::ReadFrom(TStream& stream, int64_t limit, size_t maxBytes) {
  const int64_t position = stream.Position();
  if (position >= limit || Free() == 0 || maxBytes == 0) return false;
  const int64_t room = static_cast<int64_t>(std::min(Free(), maxBytes));
  const int64_t want = std::min<int64_t>(room, limit - position);
  int64_t got = 0;
  while (got < want) {
    const int64_t n = stream.Read(FreePart() + got, want - got);
    if (n <= 0) break;
    got += n;
  }
  filled_ += static_cast<size_t>(got);
  return got > 0;
}

void TLocalBuffer::Append(const TLocalBuffer& other) {
  VYR_ASSERT_MSG(other.filled_ <= Free(), "Buffer overrun");
  if (other.filled_ > 0) std::memcpy(FreePart(), other.data_.data(), other.filled_);
  filled_ += other.filled_;
}

void TLocalBuffer::AppendBytes(const void* bytes, size_t count) {
  MakeRoom(count);
  if (count > 0) std::memcpy(FreePart(), bytes, count);
  filled_ += count;
}

void TLocalBuffer::PadTo(size_t size, uint8_t value) {
  if (filled_ >= size) return;
  MakeRoom(size - filled_);
  std::memset(FreePart(), value, size - filled_);
  filled_ = size;
}

void TLocalBuffer::Commit(size_t count) {
  VYR_ASSERT_MSG(count <= Free(), "Buffer overrun");
  filled_ += count;
}

void TLocalBuffer::Consume(size_t count) {
  count = std::min(count, filled_);
  if (count == 0) return;
  std::memmove(data_.data(), data_.data() + count, filled_ - count);
  filled_ -= count;
}

}  // namespace vyr
