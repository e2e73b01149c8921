#pragma once
// Raw deflate (no zlib or gzip header) decompressed while reading forward.

#include <zlib.h>

#include <cstdint>
#include <vector>

#include "foundation/stream.h"
#include "package/container/block_stream.h"

namespace vyr {

class TInflateStream : public TStream {
 public:
  static constexpr int64_t kInputBufferSize = 65536;

  // Decompresses source from its position on. size is the decompressed size when known
  // (-1 when not); it is only reported, never enforced.
  explicit TInflateStream(TRef<TStream> source, int64_t size = -1);

  // Raises EInflateError with zlib's message when the data is corrupt or ends early.
  int64_t Read(void* buffer, int64_t count) override;
  // Only a seek to the current position is allowed.
  int64_t Seek(int64_t position) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return size_; }
  // Writing and resizing raise "Invalid ZStream operation!".
  int64_t Write(const void* buffer, int64_t count) override;
  void SetSize(int64_t size) override;

  bool Finished() const { return finished_; }

 protected:
  ~TInflateStream() override;

 private:
  bool Refill();

  TRef<TStream> source_;
  int64_t size_;
  int64_t position_ = 0;
  z_stream zs_{};
  std::vector<uint8_t> input_;
  bool sourceEnded_ = false;
  bool finished_ = false;
};

// Inflates the whole source into memory. The buffer grows with what actually inflates;
// more than limit bytes raise EInflateError.
TRef<TBlockStream> InflateToMemory(TRef<TStream> source, int64_t limit);

}  // namespace vyr
