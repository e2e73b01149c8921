// Key bindings, mouse settings and the screen-saver and movement rules of a show.

#include <gtest/gtest.h>

#include "project/ini/ini.h"
#include "viewer/input/input_mapping.h"
#include "viewer/input/sdl_keys.h"

namespace vyr {
namespace {

TRef<TIniFile> Project(const std::string& main, const std::string& times = "opt_slidescount=7\n") {
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8("[Main]\n" + main + "[Times]\n" + times);
  return file;
}

TVyrActionKind KindOf(const std::optional<TVyrActionInfo>& action) {
  return action ? action->kind : TVyrActionKind::None;
}

TEST(InputMapping, DefaultKeyBindings) {
  auto project = Project("");
  TInputMappingClass mapping(project.Get());
  using K = TVyrActionKind;
  const struct {
    int key;
    uint8_t shift;
    K kind;
    int parameter;
  } cases[] = {
      {kVkEscape, 0, K::Exit, 0},
      {kVkSpace, 0, K::Pause, 0},
      {kVkPause, 0, K::Pause, 0},
      {kVkMediaPlayPause, 0, K::Pause, 0},
      {kVkP, kShiftCtrl, K::Pause, 0},
      {kVkP, 0, K::None, 0},
      {kVkMediaStop, 0, K::Stop, 0},
      {kVkLeft, 0, K::PrevSlide, 0},
      {kVkPrior, 0, K::PrevSlide, 0},
      {kVkUp, 0, K::PrevSlide, 0},
      {kVkBrowserBack, 0, K::PrevSlide, 0},
      {kVkMediaPrevTrack, 0, K::PrevSlide, 0},
      {kVkRight, 0, K::NextSlide, 0},
      {kVkNext, 0, K::NextSlide, 0},
      {kVkDown, 0, K::NextSlide, 0},
      {kVkMediaNextTrack, 0, K::NextSlide, 0},
      {kVkHome, 0, K::GotoSlide, 0},
      {kVkEnd, 0, K::GotoSlide, 7},
      {kVkF1, 0, K::Help, 0},
      {kVkRight, kShiftShift, K::None, 0},
      // The Windows key and held buttons are outside the binding mask.
      {kVkRight, kShiftWin | kShiftLeftButton, K::NextSlide, 0},
      {'A', 0, K::None, 0},
  };
  for (const auto& c : cases) {
    const auto action = mapping.Key(c.shift, c.key, kKeyPress);
    EXPECT_EQ(KindOf(action), c.kind) << "key " << c.key;
    if (action) {
      EXPECT_EQ(action->parameter, c.parameter) << "key " << c.key;
    }
  }
  EXPECT_FALSE(mapping.Key(0, kVkEscape, 2));  // bindings fire on presses only
}

TEST(InputMapping, NavigationOffAndLockedHelp) {
  auto project = Project("opt_synchpermitcontrol=0\nopt_lockf1=1\n");
  TInputMappingClass mapping(project.Get());
  EXPECT_FALSE(mapping.NavigationAllowed());
  for (int key : {kVkSpace, kVkRight, kVkLeft, kVkHome, kVkEnd, kVkF1})
    EXPECT_FALSE(mapping.Key(0, key, kKeyPress)) << key;
  EXPECT_EQ(KindOf(mapping.Key(0, kVkEscape, kKeyPress)), TVyrActionKind::Exit);
}

TEST(InputMapping, MouseButtonSettings) {
  auto project =
      Project("opt_leftmouse=Next slide\nopt_rightmouse=Prev. slide\nopt_dblclick=Go to first\n");
  TInputMappingClass mapping(project.Get());
  using T = TPointerEventType;
  using B = TPointerButton;
  EXPECT_EQ(mapping.Mouse(T::ButtonUp, 0, 0, 0, B::Left).kind, TVyrActionKind::NextSlide);
  EXPECT_EQ(mapping.Mouse(T::ButtonUp, 0, 0, 0, B::Right).kind, TVyrActionKind::PrevSlide);
  EXPECT_EQ(mapping.Mouse(T::DoubleClick, 0, 0, 0, B::Left).kind, TVyrActionKind::GotoSlide);
  EXPECT_TRUE(mapping.Mouse(T::ButtonDown, 0, 0, 0, B::Left).Empty());
  EXPECT_TRUE(mapping.Mouse(T::ButtonUp, 0, 0, 0, B::Middle).Empty());
  // Texts compare exactly; "None" and the unknown mean nothing.
  for (const char* text : {"next slide", "None", "", "Exit "})
    EXPECT_TRUE(MouseSettingAction(text).Empty()) << text;
  EXPECT_EQ(MouseSettingAction("Exit").kind, TVyrActionKind::Exit);
  EXPECT_EQ(MouseSettingAction("Help").kind, TVyrActionKind::Help);
  EXPECT_EQ(MouseSettingAction("Pause").kind, TVyrActionKind::Pause);
}

TEST(InputMapping, ScreenSaverEndsOnAnyKeyClickOrMovement) {
  auto project = Project("opt_ssaver=1\n");
  TInputMappingClass mapping(project.Get());
  EXPECT_EQ(KindOf(mapping.Key(0, 'A', kKeyPress)), TVyrActionKind::Exit);
  EXPECT_EQ(
      mapping.Mouse(TPointerEventType::ButtonDown, 5, 5, kShiftLeftButton, TPointerButton::Left)
          .kind,
      TVyrActionKind::Exit);
  // The first position is only stored; 5 pixels from it is no movement, 6 is.
  EXPECT_TRUE(mapping.Mouse(TPointerEventType::Move, 5, 5, 0, TPointerButton::None).Empty());
  EXPECT_TRUE(mapping.Mouse(TPointerEventType::Move, 8, 7, 0, TPointerButton::None).Empty());
  EXPECT_EQ(mapping.Mouse(TPointerEventType::Move, 9, 7, 0, TPointerButton::None).kind,
            TVyrActionKind::Exit);
}

TEST(SdlKeys, VirtualKeyCodes) {
  const struct {
    SDL_Keycode sdl;
    int vk;
  } cases[] = {{SDLK_ESCAPE, 27},     {SDLK_SPACE, 32},    {SDLK_RETURN, 13}, {SDLK_LEFT, 37},
               {SDLK_RIGHT, 39},      {SDLK_HOME, 36},     {SDLK_END, 35},    {SDLK_PAGEDOWN, 34},
               {SDLK_F1, 112},        {SDLK_p, 'P'},       {SDLK_7, '7'},     {SDLK_AUDIOPLAY, 179},
               {SDLK_AUDIONEXT, 176}, {SDLK_AC_BACK, 166}, {SDLK_PAUSE, 19}};
  for (const auto& c : cases) EXPECT_EQ(VirtualKeyOf(c.sdl), c.vk) << c.sdl;
  EXPECT_EQ(ShiftStateOf(KMOD_LCTRL | KMOD_RSHIFT, SDL_BUTTON(SDL_BUTTON_RIGHT)),
            kShiftCtrl | kShiftShift | kShiftRightButton);
}

}  // namespace
}  // namespace vyr
