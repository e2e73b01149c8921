#pragma once
// The wave format of a sound (the 18-byte layout of RIFF "fmt " data) and the mixing format.

#include <cstdint>

namespace vyr {

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatAdpcm = 2;
constexpr uint16_t kWaveFormatFloat = 3;
constexpr uint16_t kWaveFormatMpeg = 0x55;

struct TWaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t extraSize = 0;

  bool operator==(const TWaveFormat&) const = default;
  // Bytes of one frame (all channels of one sample), 0 when unknown.
  int FrameBytes() const { return channels * bitsPerSample / 8; }
  bool Is8Bit() const { return bitsPerSample == 8; }
};

// Integer PCM with block align and byte rate derived from the rest.
TWaveFormat MakePcmFormat(int channels, int samplesPerSec, int bitsPerSample);

// PCM, 2 channels, 44,100 samples per second, 16 bits: what the mixer and the device use.
constexpr int kMixingRate = 44100;
constexpr int kMixingFrameBytes = 4;
constexpr int kMixingBytesPerSecond = kMixingRate * kMixingFrameBytes;
TWaveFormat MixingFormat();

// Bytes of the mixing format for t ms on whole frames: (t * 176,400 div 4000) * 4, the
// division truncating toward zero.
int64_t MixingBytesAt(int64_t ms);

}  // namespace vyr
