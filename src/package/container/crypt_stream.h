#pragma once
// XOR with a repeating key, indexed by the inner stream's position: the stream of a
// method-2 entry. Reading and writing are the same transformation.

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/stream.h"

namespace vyr {

// XORs data (which starts at stream position `position`) with the repeated key.
class TKeyStream {
 public:
  explicit TKeyStream(std::string_view key);
  void Apply(uint8_t* data, int64_t count, int64_t position) const;

 private:
  size_t keyLength_;
  // The key repeated to cover one block plus one key length, so every block XORs
  // against one contiguous run of it.
  std::string pattern_;
};

class TCryptStream : public TStream {
 public:
  // The key must not be empty.
  TCryptStream(TRef<TStream> inner, std::string_view key);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t position) override { return inner_->Seek(position); }
  int64_t Position() const override { return inner_->Position(); }
  int64_t Size() const override { return inner_->Size(); }
  void SetSize(int64_t size) override { inner_->SetSize(size); }

 private:
  TRef<TStream> inner_;
  TKeyStream key_;
};

}  // namespace vyr
