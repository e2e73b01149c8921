#pragma once
// Renders a show's soundtrack: what the music player plays from one show time to another
// (the show-wide music and the slide comments, as the player schedules them), through the
// capture backend on its virtual clock, into a WAV file in the mixing format. It runs
// faster than real time with the timing the music has when played.

#include <cstdint>
#include <string>

#include "audio/output/capture_backend.h"

#include "package/access/file_accessor.h"
#include "project/vyr_source.h"

namespace vyr {

struct TSoundtrackRequest {
  double from = 0;  // show time, ms
  double to = -1;   // negative: the end of the show, or of the show-wide music when longer
};

struct TSoundtrackResult {
  std::string error;  // empty on success
  double from = 0, to = 0;
  uint64_t frames = 0;
  bool Ok() const { return error.empty(); }
};

class TVyrMusicSource;
class TVyrMusicPlayer;

// The soundtrack as a stream of mixed frames (16-bit stereo at the mixing rate) that a
// consumer pulls: the WAV writer below, or the video exporter.
class TSoundtrackStream {
 public:
  TSoundtrackStream(TRef<TVyrSource> source, TRef<TFileAccessor> files);
  ~TSoundtrackStream();
  TSoundtrackStream(const TSoundtrackStream&) = delete;
  TSoundtrackStream& operator=(const TSoundtrackStream&) = delete;

  const TVyrMusicSource& MusicSource() const;
  TCaptureBackend& Capture() { return *capture_; }
  // Starts the music at show time from and waits until its sounds are open; the next
  // frame pulled is the one at from. Empty on success, else the reason.
  std::string Start(double from);
  void Pull(int16_t* out, size_t frames) { capture_->Pull(out, frames); }
  void Stop();

 private:
  TCaptureBackend* capture_ = nullptr;  // owned by the device
  TRef<TVyrMusicPlayer> player_;
};

// The default end of a soundtrack, ms.
double SoundtrackEnd(const TVyrMusicSource& music);

// files: the show's file access (none: sounds are plain files by their names).
TSoundtrackResult RenderSoundtrack(TRef<TVyrSource> source, TRef<TFileAccessor> files,
                                   const std::string& wavPath, TSoundtrackRequest request);

}  // namespace vyr
