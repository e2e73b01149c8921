#pragma once
// Modifier bits of key and mouse events and the values that describe pointer events, the
// same everywhere from the window to the engine, the overlay and the navigation bar.

#include <cstdint>

namespace vyr {

// Modifier bits (a byte).
enum TShiftBits : uint8_t {
  kShiftWin = 1,
  kShiftShift = 2,
  kShiftAlt = 4,
  kShiftCtrl = 8,
  kShiftLeftButton = 16,
  kShiftRightButton = 32,
  kShiftMiddleButton = 64,
};
// The modifiers key and mouse bindings compare: Shift | Alt | Ctrl.
inline constexpr uint8_t kBindingShiftMask = kShiftShift | kShiftAlt | kShiftCtrl;

enum class TPointerEventType : uint8_t {
  Move = 0,
  ButtonDown = 1,
  ButtonUp = 2,
  DoubleClick = 3,  // reported right after the button-down of the same click
};

enum class TPointerButton : int32_t {
  None = 0,  // a move
  Left = 1,
  Right = 4,
  Middle = 5,
};

}  // namespace vyr
