#pragma once
// Preset masks: a rounded rectangle or an ellipse, white inside, black outside, with an eased
// band of width F inside the boundary, as a 24-bit grey picture.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

enum class TPresetMaskKind : int { RoundedRectangle = 0, Ellipse = 1 };

struct TPresetMaskParams {
  int32_t width = 512;
  int32_t height = 512;
  TPresetMaskKind kind = TPresetMaskKind::RoundedRectangle;
  double feather = 0;  // percent
  double radius = 0;   // percent (rounded rectangle)
};

// The fields after "PresetedMask:", ":"-separated; a field that does not parse keeps its
// default, a kind other than 0 or 1 is 0.
TPresetMaskParams ParsePresetMaskName(std::string_view fields);
// "PresetedMask:" + width + ":" + height + ":" + kind + ":" + feather + ":" + radius.
std::string PresetMaskName(const TPresetMaskParams& params);

// The value of a pixel at distance d from the shape's reference, boundary r, band f.
uint8_t PresetMaskValue(double d, double r, double f);

// The mask; none when goOn says stop after a row or the size is out of bounds.
TRef<TDirectBitmap> GeneratePresetMask(const TPresetMaskParams& params,
                                       const std::function<bool()>& goOn);

}  // namespace vyr
