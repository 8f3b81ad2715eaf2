#pragma once

// The editor's controls as the layout defines them at normal scale, in list
// order (the double-scale editor has every rectangle doubled).

#include "graphics_types.h"
#include "kick_engine.h"

enum class ControlKind
{
  kBitmap,
  kSwitch,
  kKnob,
  kPanel,
  kText,
  kPresetMenu,
  kContact,
  kFileSelector,
};

struct ExpectedControl
{
  ControlKind kind;
  IRect rect;
  int paramIdx;
};

namespace LayoutRow
{
constexpr int kPresetName = 16;
constexpr int kPresetMenu = 17;
constexpr int kPresetBackward = 18;
constexpr int kPresetForward = 19;
constexpr int kPresetLoad = 22;
constexpr int kPresetSave = 23;
} // namespace LayoutRow

inline const ExpectedControl kExpectedLayout[] = {
    {ControlKind::kBitmap, IRect(0, 0, 1000, 1000), -1},
    {ControlKind::kBitmap, IRect(0, 0, 500, 30), -1},
    {ControlKind::kBitmap, IRect(0, 55, 500, 465), -1},
    {ControlKind::kBitmap, IRect(25, 80, 475, 440), -1},
    {ControlKind::kSwitch, IRect(237, 294, 263, 320), EngineParam::ReverbOffOn},
    {ControlKind::kSwitch, IRect(252, 415, 267, 430), EngineParam::VelAmpOffOn},
    {ControlKind::kKnob, IRect(95, 371, 135, 411), EngineParam::BassAmpLevel},
    {ControlKind::kKnob, IRect(95, 119, 135, 159), EngineParam::BassEnvAttack},
    {ControlKind::kKnob, IRect(95, 203, 135, 243), EngineParam::BassEnvDecay},
    {ControlKind::kKnob, IRect(95, 287, 135, 327), EngineParam::BassPitchAmt},
    {ControlKind::kKnob, IRect(365, 119, 405, 159), EngineParam::MainVolume},
    {ControlKind::kKnob, IRect(365, 371, 405, 411), EngineParam::SnapAmpLevel},
    {ControlKind::kKnob, IRect(365, 203, 405, 243), EngineParam::SnapEnvDecay},
    {ControlKind::kKnob, IRect(365, 287, 405, 327), EngineParam::SnapPitchAmt},
    {ControlKind::kKnob, IRect(230, 203, 270, 243), EngineParam::TransistorDistLoad},
    {ControlKind::kPanel, IRect(60, 40, 440, 65), -1},
    {ControlKind::kText, IRect(60, 43, 440, 65), -1},
    {ControlKind::kPresetMenu, IRect(60, 40, 440, 65), -1},
    {ControlKind::kContact, IRect(40, 40, 60, 65), EngineParam::PresetBackward},
    {ControlKind::kContact, IRect(440, 40, 460, 65), EngineParam::PresetForward},
    {ControlKind::kBitmap, IRect(0, 40, 40, 65), -1},
    {ControlKind::kBitmap, IRect(460, 40, 500, 65), -1},
    {ControlKind::kFileSelector, IRect(0, 40, 40, 65), EngineParam::PresetLoad},
    {ControlKind::kFileSelector, IRect(460, 40, 500, 65), EngineParam::PresetSave},
};
constexpr int kExpectedControls = int(sizeof(kExpectedLayout) / sizeof(kExpectedLayout[0]));

inline IRect Doubled(const IRect& rect)
{
  return IRect(2 * rect.L, 2 * rect.T, 2 * rect.R, 2 * rect.B);
}
