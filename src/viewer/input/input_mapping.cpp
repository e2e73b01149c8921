#include "viewer/input/input_mapping.h"

#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

TVyrActionInfo MouseSettingAction(std::string_view text) {
  using K = TVyrActionKind;
  if (text == "Exit") return {K::Exit, 0, {}};
  if (text == "Next slide") return {K::NextSlide, 0, {}};
  if (text == "Prev. slide") return {K::PrevSlide, 0, {}};
  if (text == "Help") return {K::Help, 0, {}};
  if (text == "Pause") return {K::Pause, 0, {}};
  if (text == "Go to first") return {K::GotoSlide, 0, {}};
  return {};
}

TInputMappingClass::TInputMappingClass(const TIniFile* project) {
  using K = TVyrActionKind;
  const TIniSection* main = FindSection(project, "Main");
  left_ = MouseSettingAction(ReadText(FindKey(main, "opt_leftmouse")));
  right_ = MouseSettingAction(ReadText(FindKey(main, "opt_rightmouse")));
  doubleClick_ = MouseSettingAction(ReadText(FindKey(main, "opt_dblclick")));
  screenSaver_ = ReadBool(FindKey(main, "opt_ssaver"), false);
  navigationAllowed_ = ReadBool(FindKey(main, "opt_synchpermitcontrol"), true);
  if (screenSaver_ || ReadBool(FindKey(main, "opt_exitonmove"), false)) detector_.emplace();

  Bind(kVkEscape, 0, {K::Exit, 0, {}});
  if (navigationAllowed_) {
    for (int key : {kVkSpace, kVkPause, kVkMediaPlayPause}) Bind(key, 0, {K::Pause, 0, {}});
    Bind(kVkP, kShiftCtrl, {K::Pause, 0, {}});
    Bind(kVkMediaStop, 0, {K::Stop, 0, {}});
    for (int key : {kVkLeft, kVkPrior, kVkUp, kVkBrowserBack, kVkMediaPrevTrack})
      Bind(key, 0, {K::PrevSlide, 0, {}});
    for (int key : {kVkRight, kVkNext, kVkDown, kVkBrowserForward, kVkMediaNextTrack})
      Bind(key, 0, {K::NextSlide, 0, {}});
    Bind(kVkHome, 0, {K::GotoSlide, 0, {}});
    Bind(kVkEnd, 0, {K::GotoSlide, ReadInt(project, "Times", "opt_slidescount", 0), {}});
  }
  if (!ReadBool(FindKey(main, "opt_lockf1"), false)) Bind(kVkF1, 0, {K::Help, 0, {}});
}

void TInputMappingClass::Bind(int key, uint8_t value, TVyrActionInfo action) {
  auto& chain = keys_[static_cast<size_t>(key)];
  chain.insert(chain.begin(), TKeyMap{kBindingShiftMask, value, kKeyPress, std::move(action)});
}

std::optional<TVyrActionInfo> TInputMappingClass::Key(uint8_t modifiers, int keyCode,
                                                      int eventKind) const {
  if (screenSaver_) {
    if (eventKind == kKeyPress) return TVyrActionInfo{TVyrActionKind::Exit, 0, {}};
    return std::nullopt;
  }
  if (keyCode < 0 || keyCode > 255) return std::nullopt;
  for (const TKeyMap& map : keys_[static_cast<size_t>(keyCode)])
    if (map.eventKind == eventKind && (modifiers & map.mask) == map.value) return map.action;
  return std::nullopt;
}

TVyrActionInfo TInputMappingClass::Mouse(TPointerEventType type, int x, int y, uint8_t shift,
                                         TPointerButton button) {
  if (screenSaver_ && shift != 0) return {TVyrActionKind::Exit, 0, {}};
  // The first position is only recorded; a movement is more than 5 pixels (|dx| + |dy|).
  if (detector_ && detector_->See(x, y, 0)) return {TVyrActionKind::Exit, 0, {}};
  if (type == TPointerEventType::ButtonUp && button == TPointerButton::Left) return left_;
  if (type == TPointerEventType::ButtonUp && button == TPointerButton::Right) return right_;
  if (type == TPointerEventType::DoubleClick && button == TPointerButton::Left) return doubleClick_;
  return {};
}

}  // namespace vyr
