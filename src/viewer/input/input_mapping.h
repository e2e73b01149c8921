#pragma once
// A show's input mapping: the default key bindings (Windows virtual-key codes), the mouse
// buttons' actions from the project, the screen-saver rule and the movement detector.

#include <array>
#include <optional>
#include <vector>

#include "player/overlay/mouse_move_detector.h"
#include "project/action.h"
#include "project/action_input.h"
#include "project/ini/model.h"

namespace vyr {

// Virtual-key codes the player binds or looks at.
enum TVirtualKey : int {
  kVkReturn = 13,
  kVkPause = 19,
  kVkEscape = 27,
  kVkSpace = 32,
  kVkPrior = 33,
  kVkNext = 34,
  kVkEnd = 35,
  kVkHome = 36,
  kVkLeft = 37,
  kVkUp = 38,
  kVkRight = 39,
  kVkDown = 40,
  kVkP = 80,
  kVkF1 = 112,
  kVkBrowserBack = 166,
  kVkBrowserForward = 167,
  kVkMediaNextTrack = 176,
  kVkMediaPrevTrack = 177,
  kVkMediaStop = 178,
  kVkMediaPlayPause = 179,
};

inline constexpr int kKeyPress = 1;

struct TKeyMap {
  uint8_t mask = kBindingShiftMask;
  uint8_t value = 0;
  int eventKind = kKeyPress;
  TVyrActionInfo action;
};

// "Exit", "Next slide", "Prev. slide", "Help", "Pause", "Go to first"; anything else none.
TVyrActionInfo MouseSettingAction(std::string_view text);

class TInputMappingClass {
 public:
  explicit TInputMappingClass(const TIniFile* project);

  // The binding of a key event; none when the key is not bound.
  std::optional<TVyrActionInfo> Key(uint8_t modifiers, int keyCode, int eventKind) const;
  // The action of a pointer event (possibly empty).
  TVyrActionInfo Mouse(TPointerEventType type, int x, int y, uint8_t shift, TPointerButton button);

  bool ScreenSaver() const { return screenSaver_; }
  bool NavigationAllowed() const { return navigationAllowed_; }

 private:
  void Bind(int key, uint8_t value, TVyrActionInfo action);

  std::array<std::vector<TKeyMap>, 256> keys_;
  TVyrActionInfo left_, right_, doubleClick_;
  bool screenSaver_ = false;
  bool navigationAllowed_ = true;
  std::optional<TMouseMoveDetector> detector_;
};

}  // namespace vyr
