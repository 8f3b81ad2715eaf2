#pragma once

#include "graphics_types.h"

#include <cstdint>

// Turning window-system input into the editor's terms; portable so that the
// arithmetic is tested on every platform.

// The editor's key code for a virtual-key code, or -1 when the key has none.
int KeyCodeFromVirtualKey(int virtualKey);

// Whole wheel notches (120 units each, truncated toward zero) from the signed
// high word of a wheel message's key-state parameter.
int WheelNotches(int16_t wheelDelta);

// Buttons and modifiers from a mouse message's key-state bits, plus whether
// the Alt key is currently down (the message does not carry it).
IMouseKeys MouseKeysFromKeyState(uint32_t keyState, bool altDown);

// Signed client coordinates packed in a mouse message's position parameter.
inline int PositionX(intptr_t lParam)
{
  return int(int16_t(uint16_t(uint32_t(lParam) & 0xFFFF)));
}
inline int PositionY(intptr_t lParam)
{
  return int(int16_t(uint16_t((uint32_t(lParam) >> 16) & 0xFFFF)));
}
