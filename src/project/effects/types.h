#pragma once
// The transition vocabulary of a project: effect type codes, block kind codes and
// the parameter layout of each type inside a TVyrEffect.

#include <optional>
#include <string_view>

namespace vyr {

// Type of a TVyrEffect: what the drawer makes of it.
enum class TEffectType : int {
  Dissolve = 1,
  HourHand = 2,
  Shapes = 3,
  Gates = 4,
  Page = 5,
  Mosaic = 6,
  Push = 7,
  Slide = 8,
  Curling = 9,
  Flip = 10,
  Swap = 11,
  Custom = 12,
};

// Kind of an effect block ("stdidx" of a definition); every other value is a custom effect.
enum class TEffectKind : int {
  Default = 0,
  DefOwnTime = 1,
  Dissolve = 2,
  Quick = 3,
  HourHand = 4,
  Shapes = 5,
  Gates = 6,
  Page = 7,
  Mosaic = 8,
  Push = 9,
  Slide = 10,
  Curling = 11,
  Flip = 12,
  Swap = 13,
  Custom = -1,
};

// A valid kind code, else Custom.
TEffectKind EffectKindFromCode(int code);
// The effect type a kind makes; none for Default, DefOwnTime, Quick and Custom.
std::optional<TEffectType> EffectTypeOfKind(TEffectKind kind);
// The kind whose project name this is ("push", "DefOwnTime", ...; any case), else none.
std::optional<TEffectKind> EffectKindFromName(std::string_view name);
// The project name of a kind ("" for Custom).
std::string_view EffectKindName(TEffectKind kind);
std::string_view EffectTypeName(TEffectType type);

// Where each type keeps its parameters in the flag, integer and real arrays.
namespace effect_param {
// Flags. Action flags come first where a type has them, then the direction flags.
inline constexpr int kChecked = 0;  // dissolve, mosaic
inline constexpr int kHourHandActions = 2;
inline constexpr int kHourHandDirections = 9;
inline constexpr int kShapesActions = 2;
inline constexpr int kShapesDirections = 3;
inline constexpr int kGatesDirections = 8;
inline constexpr int kPageDirections = 8;
inline constexpr int kFourDirections = 4;  // push, slide, flip, swap
inline constexpr int kCurlingActions = 2;
inline constexpr int kCurlingDirections = 8;
inline constexpr int kCurlingUseColor = 10;
inline constexpr int kCurlingUseVolume = 11;
inline constexpr int kFlipSpinCenter = 4;
inline constexpr int kFlipNonlinearSpeed = 5;
// Integers.
inline constexpr int kMosaicCols = 0;
inline constexpr int kMosaicRows = 1;
inline constexpr int kMosaicAppearance = 2;
inline constexpr int kMosaicSeed = 3;
inline constexpr int kCurlingPipe = 0;
inline constexpr int kCurlingColor = 1;
// Reals.
inline constexpr int kMosaicAppearanceReal = 0;  // "appearence" as written, fractions kept
inline constexpr int kHourHandOffset = 0;
inline constexpr int kShapesCenterX = 0;
inline constexpr int kShapesCenterY = 1;
inline constexpr int kCurlingRadius = 0;
inline constexpr int kCurlingVolume = 1;
inline constexpr int kFlipVolume = 0;
inline constexpr int kSwapDepth = 0;
inline constexpr int kSwapDistance = 1;
inline constexpr int kSwapAngle = 2;
}  // namespace effect_param

}  // namespace vyr
