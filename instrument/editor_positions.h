#pragma once

// Where the editor's images sit: top-left corners in the 500 x 480 editor at
// normal scale. The instrument places its controls here and the image
// generator engraves the panel to match, so both read this one table.
namespace editor_positions
{
constexpr int kEditorWidth = 500;
constexpr int kEditorHeight = 480;

constexpr int kRackShadowTop = 55;
constexpr int kPanelLeft = 25;
constexpr int kPanelTop = 80;

constexpr int kLeftKnobX = 95;
constexpr int kCentreKnobX = 230;
constexpr int kRightKnobX = 365;
constexpr int kKnobRowY[4] = {119, 203, 287, 371};

constexpr int kReverbSwitchX = 237;
constexpr int kReverbSwitchY = 294;
constexpr int kVelocitySwitchX = 252;
constexpr int kVelocitySwitchY = 415;

// The preset strip's keys, all on one row.
constexpr int kPresetStripTop = 40;
constexpr int kPresetLoadX = 0;
constexpr int kPresetBackwardX = 40;
constexpr int kPresetForwardX = 440;
constexpr int kPresetSaveX = 460;
} // namespace editor_positions
