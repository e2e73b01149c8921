#include "foundation/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "foundation/log.h"

namespace vyr {

namespace {
constexpr int64_t kCopyChunk = 65536;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const int64_t got = Read(out + done, count - done);
    if (got <= 0) throw EStreamReadError("Stream read error");
    done += got;
  }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count <= 0) return;
  if (Write(buffer, count) != count) throw EStreamWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  std::vector<uint8_t> chunk(kCopyChunk);
  int64_t copied = 0;
  while (count < 0 || copied < count) {
    const int64_t want = count < 0 ? kCopyChunk : std::min(kCopyChunk, count - copied);
    const int64_t got = source.Read(chunk.data(), want);
    if (got <= 0) {
      if (count >= 0) throw EStreamReadError("Stream read error");
      break;
    }
    WriteBuffer(chunk.data(), got);
    copied += got;
  }
  return copied;
}

std::vector<uint8_t> TStream::ReadRest() {
  std::vector<uint8_t> bytes;
  const int64_t left = Size() - Position();
  if (left > 0) bytes.reserve(static_cast<size_t>(left));
  uint8_t chunk[kCopyChunk];
  for (;;) {
    const int64_t got = Read(chunk, kCopyChunk);
    if (got <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return bytes;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
  if (n > 0) std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = position_ + count;
  if (end > Size()) {
    if (data_.capacity() < static_cast<size_t>(end))
      data_.reserve(std::max<size_t>(static_cast<size_t>(end), data_.capacity() * 2));
    data_.resize(static_cast<size_t>(end));
  }
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t position) {
  if (position < 0) throw EStreamError("Incorrect Position");
  position_ = position;
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError("Stream Cannot be resized");
  data_.resize(static_cast<size_t>(size));
  position_ = std::min(position_, size);
}

// Read and ReadWrite open only regular files (never a FIFO, a device or a folder), and never wait
// on what they refuse: a FIFO's open would wait for a writer that may never come.
TFileStream::TFileStream(const std::string& path, Mode mode) : path_(path) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::Read:
      flags |= O_RDONLY | O_NONBLOCK;
      break;
    case Mode::ReadWrite:
      flags |= O_RDWR | O_NONBLOCK;
      break;
    case Mode::Create:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
  }
  fd_ = ::open(path.c_str(), flags, 0644);
  if (fd_ < 0) {
    const int error = errno;
    const std::string message = "Cannot open file \"" + path + "\". " + std::strerror(error);
    // Out of descriptors is no fault of the file: say so, or it would pass for a missing one.
    if (error == EMFILE || error == ENFILE) WriteLine(message);
    throw EFileStreamError(message);
  }
  struct stat info {};
  const bool known = ::fstat(fd_, &info) == 0;
  const char* refusal = !known                                           ? "Cannot read its status"
                        : S_ISDIR(info.st_mode)                          ? "Is a directory"
                        : mode != Mode::Create && !S_ISREG(info.st_mode) ? "Not a regular file"
                                                                         : nullptr;
  if (refusal) {
    ::close(fd_);
    fd_ = -1;
    throw EFileStreamError("Cannot open file \"" + path + "\". " + refusal);
  }
  if (flags & O_NONBLOCK) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

TRef<TFileStream> TFileStream::TryOpen(const std::string& path, Mode mode) {
  try {
    return MakeRef<TFileStream>(path, mode);
  } catch (const EFileStreamError&) {
    return nullptr;
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  for (;;) {
    const ssize_t got = ::pread(fd_, buffer, static_cast<size_t>(count), position_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return 0;
    position_ += got;
    return got;
  }
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  const auto* in = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t put = ::pwrite(fd_, in + done, static_cast<size_t>(count - done), position_);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += put;
    position_ += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t position) {
  if (position < 0) throw EStreamError("Incorrect Position");
  position_ = position;
  return position_;
}

int64_t TFileStream::Size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) return 0;
  return info.st_size;
}

void TFileStream::SetSize(int64_t size) {
  if (size < 0 || ::ftruncate(fd_, size) != 0) throw EStreamError("Stream Cannot be resized");
  position_ = std::min(position_, size);
}

}  // namespace vyr
