#pragma once
// A byte buffer with a filled part at the front and free space behind it, in one wave format.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/decode/wave_format.h"
#include "foundation/stream.h"

namespace vyr {

class TLocalBuffer {
 public:
  size_t Capacity() const { return data_.size(); }
  size_t Filled() const { return filled_; }
  size_t Free() const { return data_.size() - filled_; }
  uint8_t* Data() { return data_.data(); }
  const uint8_t* Data() const { return data_.data(); }
  uint8_t* FreePart() { return data_.data() + filled_; }

  const TWaveFormat& Format() const { return format_; }
  void SetFormat(const TWaveFormat& format) { format_ = format; }

  void Grow(size_t bytes) { data_.resize(data_.size() + bytes); }
  // Ensures at least bytes of free space.
  void MakeRoom(size_t bytes);
  // Reads into the free space, never past the stream position limit. False when nothing
  // was read or the stream is at or past the limit.
  bool ReadFrom(TStream& stream, int64_t limit, size_t maxBytes = SIZE_MAX);
  // Appends another buffer's filled part (assertion "Buffer overrun" when it does not fit).
  void Append(const TLocalBuffer& other);
  // Appends bytes, growing as needed.
  void AppendBytes(const void* bytes, size_t count);
  // Pads the filled part with a byte value up to size bytes (growing as needed).
  void PadTo(size_t size, uint8_t value);
  // Marks count more bytes of the free part as filled.
  void Commit(size_t count);
  // Drops count bytes from the front; the rest moves down.
  void Consume(size_t count);
  void Clear() { filled_ = 0; }
  // Keeps only the first size bytes.
  void Truncate(size_t size) { filled_ = size < filled_ ? size : filled_; }

 private:
  std::vector<uint8_t> data_;
  size_t filled_ = 0;
  TWaveFormat format_;
};

}  // namespace vyr
