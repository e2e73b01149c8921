#include "package/container/block_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "package/container/package_errors.h"

namespace vyr {

TBlockStream::~TBlockStream() { std::free(data_); }

int64_t TBlockStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::clamp<int64_t>(size_ - position_, 0, std::max<int64_t>(count, 0));
  if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TBlockStream::Write(const void*, int64_t) { throw EStreamWriteError("Stream write error"); }

int64_t TBlockStream::Seek(int64_t position) {
  if (position < 0) throw EPartialStreamError(kIncorrectPosition);
  position_ = position;
  return position_;
}

void TBlockStream::SetSize(int64_t) { throw EPartialStreamError(kCannotResize); }

uint8_t* TBlockStream::Reserve(int64_t capacity) {
  if (capacity > capacity_) {
    void* grown = std::realloc(data_, static_cast<size_t>(capacity));
    if (!grown) throw std::bad_alloc();
    data_ = static_cast<uint8_t*>(grown);
    capacity_ = capacity;
  }
  return data_;
}

void TBlockStream::SetUsed(int64_t size) {
  size_ = std::clamp<int64_t>(size, 0, capacity_);
  position_ = std::min(position_, size_);
  // Give back what the guess of the size took too much.
  if (capacity_ - size_ > 65536) {
    if (void* shrunk = std::realloc(data_, static_cast<size_t>(std::max<int64_t>(size_, 1)))) {
      data_ = static_cast<uint8_t*>(shrunk);
      capacity_ = std::max<int64_t>(size_, 1);
    }
  }
}

}  // namespace vyr
