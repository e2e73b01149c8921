#pragma once
// Renders a show's soundtrack: what the music player plays from one show time to another
// (the show-wide music and the slide comments, as the player schedules them), through the
// capture backend on its virtual clock, into a WAV file in the mixing format. It runs
// faster than real time with the timing the music has when played.

#include <cstdint>
#include <string>

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

// The default end of a soundtrack, ms.
double SoundtrackEnd(const TVyrMusicSource& music);

// files: the show's file access (none: sounds are plain files by their names).
TSoundtrackResult RenderSoundtrack(TRef<TVyrSource> source, TRef<TFileAccessor> files,
                                   const std::string& wavPath, TSoundtrackRequest request);

}  // namespace vyr
