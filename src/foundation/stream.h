#pragma once
// Byte streams: read, write, absolute seek, position, size and set-size.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/exceptions.h"
#include "foundation/ref_object.h"

namespace vyr {

class TStream : public TRefObject {
 public:
  // Reads up to count bytes at the position; returns how many were read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to count bytes at the position; returns how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves to an absolute position; returns the new position.
  virtual int64_t Seek(int64_t position) = 0;
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const = 0;
  virtual void SetSize(int64_t size) = 0;

  // Exactly count bytes or EStreamReadError / EStreamWriteError.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes (all remaining bytes of source when count is negative)
  // chunk by chunk from the source's position; returns the number copied.
  int64_t CopyFrom(TStream& source, int64_t count = -1);
  // Everything from the position to the end.
  std::vector<uint8_t> ReadRest();
};

// A growable block of memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t position) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;

  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  std::vector<uint8_t>& Bytes() { return data_; }
  const std::vector<uint8_t>& Bytes() const { return data_; }

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// A file on disk with its own position; reads and writes are positional so
// several streams on one file never disturb each other.
class TFileStream : public TStream {
 public:
  enum class Mode {
    Read,       // existing file, read only, others may read
    ReadWrite,  // existing file
    Create,     // created or truncated, read and write
  };
  // Raises EFileStreamError when the file cannot be opened.
  TFileStream(const std::string& path, Mode mode);
  // None instead of an exception.
  static TRef<TFileStream> TryOpen(const std::string& path, Mode mode);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t position) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override;
  void SetSize(int64_t size) override;
  const std::string& Path() const { return path_; }

 protected:
  ~TFileStream() override;

 private:
  std::string path_;
  int fd_ = -1;
  int64_t position_ = 0;
};

}  // namespace vyr
