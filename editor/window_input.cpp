#include "window_input.h"

namespace
{
// The window system's key-state bits of mouse messages.
constexpr uint32_t kLeftButtonBit = 0x0001;
constexpr uint32_t kRightButtonBit = 0x0002;
constexpr uint32_t kShiftBit = 0x0004;
constexpr uint32_t kControlBit = 0x0008;
constexpr int kWheelDeltaPerNotch = 120;
} // namespace

int KeyCodeFromVirtualKey(int virtualKey)
{
  switch (virtualKey)
  {
  case 32: // space
    return 0;
  case 38: // up
    return 1;
  case 40: // down
    return 2;
  case 37: // left
    return 3;
  case 39: // right
    return 4;
  default:
    break;
  }
  if (virtualKey >= '0' && virtualKey <= '9') return virtualKey - 43;
  if (virtualKey >= 'A' && virtualKey <= 'Z') return virtualKey - 50;
  if (virtualKey >= 'a' && virtualKey <= 'z') return virtualKey - 82;
  return -1;
}

int WheelNotches(int16_t wheelDelta)
{
  return int(wheelDelta) / kWheelDeltaPerNotch;
}

IMouseKeys MouseKeysFromKeyState(uint32_t keyState, bool altDown)
{
  return IMouseKeys((keyState & kLeftButtonBit) != 0, (keyState & kRightButtonBit) != 0,
                    (keyState & kShiftBit) != 0, (keyState & kControlBit) != 0, altDown);
}
