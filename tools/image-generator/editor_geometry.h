#pragma once

#include "editor_positions.h"

// Sizes of the images placed in the editor (normal-scale units), beside the
// shared positions, so the panel's engravings line up with the controls.
namespace editor_geometry
{
using namespace editor_positions;

constexpr float kPanelWidth = 450.0f;
constexpr float kPanelHeight = 360.0f;
constexpr float kKnobSize = 40.0f;
constexpr float kReverbSwitchSize = 26.0f;
constexpr float kVelocitySwitchSize = 15.0f;
} // namespace editor_geometry
