#pragma once
// The media-information record: what kind of sound a file holds and where its audio lies.

#include <array>
#include <cstdint>
#include <cstring>

#include "audio/decode/wave_format.h"

namespace vyr {

enum class TFormatKind : uint8_t {
  None = 0,
  Pcm = 1,
  Adpcm = 2,
  Float = 3,
  Mpeg = 4,
  Wma = 5,
  Ogg = 6,
  Composite = 9,
  MediaLibrary = 10,
};

struct TMediaInfo {
  int32_t dataStart = 0;    // byte offset of the first audio byte
  uint32_t dataLength = 0;  // bytes of audio data
  int32_t duration = 0;     // ms
  int32_t frameLength = 0;  // MPEG: largest frame length among the first frames
  double msPerFrame = 0;    // MPEG: duration of one frame
  int32_t mpegInRiff = 0;   // 1 when MPEG audio sits inside a RIFF file
  TFormatKind kind = TFormatKind::None;
  TWaveFormat wave;
  // MS ADPCM: the 32 bytes after the extra-size word; MPEG: the VBR flag in the first four.
  std::array<uint8_t, 34> extra{};

  int32_t VbrFlag() const {
    int32_t v;
    std::memcpy(&v, extra.data(), 4);
    return v;
  }
  void SetVbrFlag(int32_t v) { std::memcpy(extra.data(), &v, 4); }
};

}  // namespace vyr
