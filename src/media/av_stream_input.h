#pragma once
// An FFmpeg demuxer reading one of our streams through a custom I/O context, so that files
// inside a package play without being written to disk. It reads that stream and nothing
// else: only demuxers of self-contained media files, no protocol, no further file or
// address opened on the file's behalf.

#include <string>

#include "foundation/stream.h"

struct AVFormatContext;
struct AVIOContext;

namespace vyr {

class TAvStreamInput {
 public:
  TAvStreamInput() = default;
  ~TAvStreamInput() { Close(); }
  TAvStreamInput(const TAvStreamInput&) = delete;
  TAvStreamInput& operator=(const TAvStreamInput&) = delete;

  // Opens the container and reads its stream information; the name's extension is the
  // format hint. False when the bytes are not a media file of an allowed format, or when the
  // file asks for anything beyond its own bytes (a playlist, a script, a reference).
  bool Open(TRef<TStream> stream, const std::string& hintName);
  void Close();
  AVFormatContext* Format() const { return format_; }
  bool IsOpen() const { return format_ != nullptr; }

 private:
  TRef<TStream> stream_;
  AVIOContext* io_ = nullptr;
  AVFormatContext* format_ = nullptr;
};

// FFmpeg's own log stays quiet (its messages are not the player's).
void QuietMediaLibrary();

}  // namespace vyr
