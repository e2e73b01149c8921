#pragma once
// BGRA pictures to the encoders' YUV 4:2:0: BT.709 coefficients, limited range (luma 16-235,
// chroma 16-240), each chroma sample from the mean of its 2 x 2 pixels, rounded to nearest.
// Written for the compiler to vectorise: one pass over each pair of rows.

#include <cstdint>

namespace vyr::exporting {

struct TYuvPlanes {
  uint8_t* data[3] = {};  // Y, Cb, Cr
  int stride[3] = {};
};

// Two rows of width BGRA pixels (width even) to two rows of luma and one of each chroma.
void BgraRowsToYuv420(const uint8_t* top, const uint8_t* bottom, int width, uint8_t* lumaTop,
                      uint8_t* lumaBottom, uint8_t* cb, uint8_t* cr);

// A picture (width and height even) of BGRA rows `stride` bytes apart.
void BgraToYuv420(const uint8_t* bgra, int stride, int width, int height, const TYuvPlanes& out);

}  // namespace vyr::exporting
