#pragma once
// Sound input streams. Every operation on a stream opened here (open, close, read, seek,
// position, size) runs under one process-wide lock, so the player's stream callbacks
// never run on two threads at once.

#include <functional>
#include <mutex>
#include <string>

#include "foundation/stream.h"

namespace vyr {

using TAudioOpenCallback = std::function<TRef<TStream>(const std::string& name)>;

// Installs the callback that opens sound names (an empty one restores plain files).
void SetAudioOpenCallback(TAudioOpenCallback callback);
// Opens a sound name, without its "?N" suffix, through open (when empty: the installed
// callback, else as a file); none when it cannot be opened.
TRef<TStream> OpenAudioStream(const std::string& name, const TAudioOpenCallback& open = {});
// The lock every wrapped stream operation takes.
std::recursive_mutex& AudioStreamLock();

// The name up to its last "?" (the whole name when there is none).
std::string StripStreamNumber(const std::string& name);
// The number after the last "?", 0 when there is none or it is not a number.
int StreamNumberOf(const std::string& name);
// The extension of a name without its "?N" part, with the dot, as written (".Mp3").
std::string SoundExtension(const std::string& name);

// Serialises every operation on an inner stream under AudioStreamLock.
class TLockedStream : public TStream {
 public:
  explicit TLockedStream(TRef<TStream> inner) : inner_(std::move(inner)) {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t position) override;
  int64_t Position() const override;
  int64_t Size() const override;
  void SetSize(int64_t size) override;

 protected:
  void Dispose() override;

 private:
  TRef<TStream> inner_;
};

// A read-only view of a stream whose position 0 is the inner stream's byte offset.
class TShiftStream : public TStream {
 public:
  TShiftStream(TRef<TStream> inner, int64_t offset);
  int64_t Read(void* buffer, int64_t count) override { return inner_->Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t position) override { return inner_->Seek(position + offset_) - offset_; }
  int64_t Position() const override { return inner_->Position() - offset_; }
  int64_t Size() const override { return inner_->Size() - offset_; }
  void SetSize(int64_t size) override;

 private:
  TRef<TStream> inner_;
  int64_t offset_;
};

}  // namespace vyr
