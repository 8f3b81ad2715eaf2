#pragma once

// Where the images sit in the 500 x 480 editor (normal-scale units), so the
// panel's engravings line up with the controls placed over it.
namespace editor_geometry
{
constexpr float kPanelLeft = 25.0f;
constexpr float kPanelTop = 80.0f;
constexpr float kPanelWidth = 450.0f;
constexpr float kPanelHeight = 360.0f;
constexpr float kShadowTop = 55.0f;

constexpr float kKnobSize = 40.0f;
constexpr float kLeftKnobX = 95.0f;
constexpr float kRightKnobX = 365.0f;
constexpr float kCentreKnobX = 230.0f;
constexpr float kKnobRowY[4] = {119.0f, 203.0f, 287.0f, 371.0f};

constexpr float kReverbSwitchX = 237.0f;
constexpr float kReverbSwitchY = 294.0f;
constexpr float kReverbSwitchSize = 26.0f;
constexpr float kVelocitySwitchX = 252.0f;
constexpr float kVelocitySwitchY = 415.0f;
constexpr float kVelocitySwitchSize = 15.0f;

// The preset strip.
constexpr float kStripTop = 40.0f;
constexpr float kStripBottom = 65.0f;
constexpr float kNameBarLeft = 60.0f;
constexpr float kNameBarRight = 440.0f;
} // namespace editor_geometry
