#include "package/container/partial_stream.h"

#include <algorithm>

#include "package/container/package_errors.h"

namespace vyr {

TPartialStream::TPartialStream(TRef<TStream> base, int64_t start, int64_t size)
    : base_(std::move(base)), start_(start), size_(size) {
  VYR_ASSERT(base_);
  int64_t end = 0;
  if (start < 0 || size < 0 || __builtin_add_overflow(start, size, &end) || end > base_->Size())
    throw EPartialStreamError(kInsufficientSourceSize);
  base_->Seek(start_);
}

int64_t TPartialStream::Left() const {
  const int64_t position = base_->Position();
  if (position < start_) return 0;
  return std::max<int64_t>(start_ + size_ - position, 0);
}

int64_t TPartialStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  const int64_t want = std::min(std::max<int64_t>(count, 0), Left());
  int64_t done = 0;
  while (done < want) {
    const int64_t got = base_->Read(out + done, std::min(chunkSize_, want - done));
    if (got <= 0) break;
    done += got;
    if (callback_ && !callback_()) break;
  }
  return done;
}

int64_t TPartialStream::Write(const void* buffer, int64_t count) {
  const auto* in = static_cast<const uint8_t*>(buffer);
  const int64_t want = std::min(std::max<int64_t>(count, 0), Left());
  int64_t done = 0;
  while (done < want) {
    const int64_t put = base_->Write(in + done, std::min(chunkSize_, want - done));
    if (put <= 0) break;
    done += put;
    if (callback_ && !callback_()) break;
  }
  return done;
}

int64_t TPartialStream::Seek(int64_t position) {
  if (position < 0 || position > size_) throw EPartialStreamError(kIncorrectPosition);
  base_->Seek(start_ + position);
  return position;
}

void TPartialStream::SetSize(int64_t) { throw EPartialStreamError(kCannotResize); }

void TPartialStream::SetChunkCallback(TChunkCallback callback, int64_t chunkSize) {
  callback_ = std::move(callback);
  chunkSize_ = std::max<int64_t>(chunkSize, 1);
}

}  // namespace vyr
