#include "viewer/input/sdl_keys.h"

#include <utility>

#include "project/action_input.h"

namespace vyr {
namespace {

// Keys whose SDL code is not a letter, digit or function key.
constexpr std::pair<SDL_Keycode, int> kKeyTable[] = {
    {SDLK_BACKSPACE, 8},      {SDLK_TAB, 9},
    {SDLK_RETURN, 13},        {SDLK_KP_ENTER, 13},
    {SDLK_PAUSE, 19},         {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},        {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},        {SDLK_PAGEDOWN, 34},
    {SDLK_END, 35},           {SDLK_HOME, 36},
    {SDLK_LEFT, 37},          {SDLK_UP, 38},
    {SDLK_RIGHT, 39},         {SDLK_DOWN, 40},
    {SDLK_PRINTSCREEN, 44},   {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},        {SDLK_LGUI, 91},
    {SDLK_RGUI, 92},          {SDLK_APPLICATION, 93},
    {SDLK_KP_0, 96},          {SDLK_KP_1, 97},
    {SDLK_KP_2, 98},          {SDLK_KP_3, 99},
    {SDLK_KP_4, 100},         {SDLK_KP_5, 101},
    {SDLK_KP_6, 102},         {SDLK_KP_7, 103},
    {SDLK_KP_8, 104},         {SDLK_KP_9, 105},
    {SDLK_KP_MULTIPLY, 106},  {SDLK_KP_PLUS, 107},
    {SDLK_KP_MINUS, 109},     {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111},    {SDLK_NUMLOCKCLEAR, 144},
    {SDLK_SCROLLLOCK, 145},   {SDLK_LSHIFT, 160},
    {SDLK_RSHIFT, 161},       {SDLK_LCTRL, 162},
    {SDLK_RCTRL, 163},        {SDLK_LALT, 164},
    {SDLK_RALT, 165},         {SDLK_AC_BACK, 166},
    {SDLK_AC_FORWARD, 167},   {SDLK_AC_REFRESH, 168},
    {SDLK_AC_STOP, 169},      {SDLK_AC_SEARCH, 170},
    {SDLK_AC_BOOKMARKS, 171}, {SDLK_AC_HOME, 172},
    {SDLK_AUDIOMUTE, 173},    {SDLK_VOLUMEDOWN, 174},
    {SDLK_VOLUMEUP, 175},     {SDLK_AUDIONEXT, 176},
    {SDLK_AUDIOPREV, 177},    {SDLK_AUDIOSTOP, 178},
    {SDLK_AUDIOPLAY, 179},    {SDLK_MAIL, 180},
    {SDLK_MEDIASELECT, 181},  {SDLK_SEMICOLON, 186},
    {SDLK_EQUALS, 187},       {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},        {SDLK_PERIOD, 190},
    {SDLK_SLASH, 191},        {SDLK_BACKQUOTE, 192},
    {SDLK_LEFTBRACKET, 219},  {SDLK_BACKSLASH, 220},
    {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
};

}  // namespace

int VirtualKeyOf(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
  if (key >= SDLK_F13 && key <= SDLK_F24) return 124 + (key - SDLK_F13);
  for (const auto& [sdl, vk] : kKeyTable)
    if (sdl == key) return vk;
  return 0;
}

uint8_t ShiftStateOf(uint16_t modifiers, uint32_t mouseButtons) {
  uint8_t shift = 0;
  if (modifiers & KMOD_GUI) shift |= kShiftWin;
  if (modifiers & KMOD_SHIFT) shift |= kShiftShift;
  if (modifiers & KMOD_ALT) shift |= kShiftAlt;
  if (modifiers & KMOD_CTRL) shift |= kShiftCtrl;
  if (mouseButtons & SDL_BUTTON(SDL_BUTTON_LEFT)) shift |= kShiftLeftButton;
  if (mouseButtons & SDL_BUTTON(SDL_BUTTON_RIGHT)) shift |= kShiftRightButton;
  if (mouseButtons & SDL_BUTTON(SDL_BUTTON_MIDDLE)) shift |= kShiftMiddleButton;
  return shift;
}

}  // namespace vyr
