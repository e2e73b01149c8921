#pragma once
// A window (start, size) of a base stream, read and written in chunks with a callback
// after every chunk: the stream of a stored entry.

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/stream.h"

namespace vyr {

class TPartialStream : public TStream {
 public:
  // Called after every chunk; false stops the read or write early.
  using TChunkCallback = std::function<bool()>;
  static constexpr int64_t kDefaultChunkSize = 32768;

  // Raises "Insufficient Source Size" when the window does not lie inside the base stream.
  // The position starts at 0.
  TPartialStream(TRef<TStream> base, int64_t start, int64_t size);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // Raises "Incorrect Position" outside 0 .. Size.
  int64_t Seek(int64_t position) override;
  int64_t Position() const override { return base_->Position() - start_; }
  int64_t Size() const override { return size_; }
  // Raises "Stream Cannot be resized".
  void SetSize(int64_t size) override;

  void SetChunkCallback(TChunkCallback callback, int64_t chunkSize = kDefaultChunkSize);
  int64_t Start() const { return start_; }
  TStream& Base() const { return *base_; }

 private:
  // Bytes left in the window from the base stream's position.
  int64_t Left() const;

  TRef<TStream> base_;
  int64_t start_;
  int64_t size_;
  int64_t chunkSize_ = kDefaultChunkSize;
  TChunkCallback callback_;
};

}  // namespace vyr
