#pragma once
// The media-information reader: which kind of sound a stream holds, its wave format,
// where its audio data lies and how long it plays. Composite descriptions never come here.

#include <string>

#include "audio/decode/media_info.h"
#include "foundation/stream.h"

namespace vyr {

class TMediaInfoExtractor {
 public:
  // extension is the sound name's extension (".mp3", any case). On failure the record is
  // empty (kind None) and the result false.
  static bool Read(const TRef<TStream>& stream, const std::string& extension, TMediaInfo& info);

  // The single readers, each on a zeroed record.
  static bool ReadRiffWave(TStream& stream, TMediaInfo& info);
  static bool ReadMpeg(TStream& stream, TMediaInfo& info, int riffBitrateKbps = 0);
  static bool ReadByExtension(const TRef<TStream>& stream, const std::string& extension,
                              TMediaInfo& info);
};

// ASCII lower case of an extension, for comparisons without regard to case.
std::string LowerExtension(const std::string& extension);

}  // namespace vyr
