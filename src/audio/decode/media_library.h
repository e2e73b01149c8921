#pragma once
// The media library's audio calls, over FFmpeg: a file read from one of our streams
// (a custom I/O context, so package entries play without being written to disk), its
// audio streams decoded to interleaved 16-bit PCM at their own rate. Mono stays mono;
// every other layout is mixed down to stereo. All calls share the library's lock.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/stream.h"

namespace vyr {

class TMediaLibraryFile {
 public:
  TMediaLibraryFile();
  ~TMediaLibraryFile();
  TMediaLibraryFile(const TMediaLibraryFile&) = delete;
  TMediaLibraryFile& operator=(const TMediaLibraryFile&) = delete;

  // The library is linked, so it is always there.
  static bool IsLoaded() { return true; }

  // "OpenMediaFile": the name's extension is the format hint. False when unreadable.
  bool Open(TRef<TStream> stream, const std::string& hintName);
  // Duration of the media in microseconds (0 when unknown).
  int64_t DurationUs() const;
  int AudioStreamCount() const;
  // "GetAudioInfo" of the n-th audio stream: the PCM that GetNextAudioFrame delivers.
  bool GetAudioInfo(int n, int& sampleRate, int& channels, int& bits) const;
  // "OpenAudioStream": opens the decoder of the n-th audio stream.
  bool OpenAudioStream(int n);
  // "GetNextAudioFrame": decodes the next piece; bytes placed in Buffer(), 0 at the end.
  int GetNextAudioFrame();
  const uint8_t* Buffer() const { return buffer_.data(); }
  // "SeekFile": the next frames start at ms (decoded samples before it are dropped).
  bool SeekFile(double ms);
  // "CloseAudioStream" and "CloseMediaFile".
  void CloseAudioStream();
  void Close();

  static constexpr size_t kAudioBufferSize = 192000;

 private:
  struct State;
  int GetNextAudioFrameLocked();
  std::unique_ptr<State> state_;
  std::vector<uint8_t> buffer_;
};

}  // namespace vyr
