#pragma once
// Reads what the media-information record needs from an MPEG audio stream: the ID3v2 tag,
// the first frame, a Xing or VBRI header, an ID3v1 trailer, and the duration.

#include <cstdint>
#include <string>

#include "audio/decode/media_info.h"
#include "audio/decode/mpeg_header.h"
#include "foundation/stream.h"

namespace vyr {

class TMpegInfo {
 public:
  // riffBitrateKbps > 0 replaces the first frame's bit rate in the duration (MPEG in RIFF).
  bool Read(TStream& stream, int riffBitrateKbps = 0);
  // Fills the record's MPEG fields (kind, wave format, data range, duration, frames).
  void FillRecord(TMediaInfo& info) const;

  TMpegHeader header;   // the first frame's header
  std::string vbrKind;  // "Xing", "VBRI" or empty
  uint32_t vbrFrames = 0;
  uint32_t vbrBytes = 0;
  int64_t id3Size = 0;     // bytes of the ID3v2 tag with its header
  int64_t firstFrame = 0;  // offset of the first frame
  int64_t dataSize = 0;    // bytes of audio data
  int largestFrame = 0;    // largest frame length among the first three frames
  int32_t duration = 0;    // ms
  double msPerFrame = 26;
};

}  // namespace vyr
