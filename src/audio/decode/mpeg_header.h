#pragma once
// MPEG audio frame headers (MPEG-1, 2 and 2.5, layers I to III): validity, rates, frame length.

#include <cstdint>

#include "audio/decode/byte_window.h"

namespace vyr {

struct TMpegHeader {
  int versionBits = 0;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
  int layer = 0;        // 1, 2 or 3
  bool protection = false;
  int bitrateIndex = 0;
  int sampleRateIndex = 0;
  int padding = 0;
  bool privateBit = false;
  int channelMode = 0;  // 3: mono
  int modeExtension = 0;
  bool copyright = false;
  bool original = false;
  int emphasis = 0;

  int bitrate = 0;      // kbit/s
  int sampleRate = 0;   // Hz
  int coefficient = 0;  // bytes per frame = coefficient * bit rate / sample rate (+ padding)
  int frameLength = 0;  // bytes, header included

  bool IsMpeg1() const { return versionBits == 3; }
  bool IsMono() const { return channelMode == 3; }
  int SamplesPerFrame() const { return coefficient * 8; }
  double MsPerFrame() const { return SamplesPerFrame() * 1000.0 / sampleRate; }
};

// Fills header from four bytes; false when they are not a valid header.
bool ParseMpegHeader(const uint8_t* bytes, TMpegHeader& header);

// The first offset in [from, end) holding a valid header followed, exactly one frame length
// later, by another valid header; -1 when there is none. With acceptLastFrame a frame that
// ends at or beyond end counts without a follower.
int64_t FindMpegFrame(TByteWindow& window, int64_t from, int64_t end, bool acceptLastFrame,
                      TMpegHeader* header = nullptr);

// The valid header at offset (false when there is none).
bool MpegHeaderAt(TByteWindow& window, int64_t offset, TMpegHeader& header);

}  // namespace vyr
