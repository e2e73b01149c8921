#pragma once
// Converts interleaved PCM (8, 16, 24 or 32-bit integer, 32-bit float; 1, 2 or 6 channels)
// into 8 or 16-bit PCM with 1 or 2 channels at another rate by three-point Lagrange
// interpolation. Keeps its state between blocks, so a sound can be fed in any pieces.

#include <cstddef>
#include <cstdint>

#include "audio/decode/wave_format.h"

namespace vyr {

class TPcmResampler {
 public:
  TPcmResampler(const TWaveFormat& input, const TWaveFormat& output);

  // Whether the resampler accepts these formats.
  static bool CanConvert(const TWaveFormat& input, const TWaveFormat& output);

  // Bytes that Convert produces for inputBytes (whole input frames) from the current state.
  size_t OutputSize(size_t inputBytes) const;
  // Converts whole input frames; out must hold OutputSize(inputBytes). Returns bytes written.
  size_t Convert(const uint8_t* input, size_t inputBytes, uint8_t* out);
  void Reset();

  // One input frame as 16-bit-range left and right values.
  static void ReadFrame(const TWaveFormat& format, const uint8_t* frame, int& left, int& right);

 private:
  TWaveFormat in_, out_;
  int inFrame_, outFrame_;
  double step_;
  double position_ = 0;  // output position in input frames
  double prevLeft_[2] = {0, 0};
  double prevRight_[2] = {0, 0};
};

}  // namespace vyr
