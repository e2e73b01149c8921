#include "audio/decode/wave_format.h"

namespace vyr {

TWaveFormat MakePcmFormat(int channels, int samplesPerSec, int bitsPerSample) {
  TWaveFormat f;
  f.formatTag = kWaveFormatPcm;
  f.channels = static_cast<uint16_t>(channels);
  f.samplesPerSec = static_cast<uint32_t>(samplesPerSec);
  f.bitsPerSample = static_cast<uint16_t>(bitsPerSample);
  f.blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
  f.avgBytesPerSec = f.blockAlign * f.samplesPerSec;
  return f;
}

TWaveFormat MixingFormat() { return MakePcmFormat(2, kMixingRate, 16); }

int64_t MixingBytesAt(int64_t ms) { return ms * kMixingBytesPerSecond / 4000 * 4; }

}  // namespace vyr
