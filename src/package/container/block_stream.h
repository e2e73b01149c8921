#pragma once
// A read-only block of memory filled once (an inflated entry). Unlike TMemoryStream it
// grows without zero-filling, and large blocks grow by remapping rather than copying.

#include <cstdint>

#include "foundation/stream.h"

namespace vyr {

class TBlockStream : public TStream {
 public:
  TBlockStream() = default;

  int64_t Read(void* buffer, int64_t count) override;
  // Read only: writing raises EStreamWriteError, resizing "Stream Cannot be resized".
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t position) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return size_; }
  void SetSize(int64_t size) override;

  // For the filler: room for capacity bytes (existing bytes kept), then the bytes in use.
  uint8_t* Reserve(int64_t capacity);
  void SetUsed(int64_t size);
  const uint8_t* Data() const { return data_; }

 protected:
  ~TBlockStream() override;

 private:
  uint8_t* data_ = nullptr;
  int64_t capacity_ = 0;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

}  // namespace vyr
