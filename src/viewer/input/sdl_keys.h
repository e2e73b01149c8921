#pragma once
// SDL's key codes and modifier states in the vocabulary of the key tables: Windows
// virtual-key codes and the modifier bits of pointer and key events.

#include <SDL2/SDL.h>

#include <cstdint>

namespace vyr {

// 0 for keys without a virtual-key code.
int VirtualKeyOf(SDL_Keycode key);
// Shift, Alt, Ctrl and the Windows key from SDL's modifiers, plus the held mouse buttons.
uint8_t ShiftStateOf(uint16_t modifiers, uint32_t mouseButtons);

}  // namespace vyr
