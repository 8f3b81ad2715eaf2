#pragma once

// The instrument's editor: a fixed panel of PNG images with nine knobs, two
// switches and the preset strip. Coordinates are given at normal scale; the
// double-scale build multiplies every position, size and font size by 2 and
// has images of twice the size under the same ids.

#include "editor_image_ids.h"
#include "editor_positions.h"
#include "graphics_types.h"

#include <string>

class IContactControl;
class IGraphics;
class IPlugBase;
class IPopupMenu_PresetSelector;
class PresetFileSelector;
class PresetNameDisplay;

using editor_positions::kEditorHeight;
using editor_positions::kEditorWidth;
constexpr int kEditorFPS = 25;
constexpr int kEditorControlCount = 24; // the background and 23 more

constexpr const char* kPresetLibraryTitle = "< Presets Library >";

// The controls the instrument updates or drives after building.
struct EditorControls
{
  PresetNameDisplay* presetName = nullptr;
  IPopupMenu_PresetSelector* presetSelector = nullptr;
  IContactControl* presetBackward = nullptr;
  IContactControl* presetForward = nullptr;
  PresetFileSelector* presetLoadSelector = nullptr;
  PresetFileSelector* presetSaveSelector = nullptr;
};

// The preset name's text style at a scale (1 or 2).
ITextStyle PresetNameTextStyle(int scale);

// Fills an empty editor (background first, then the 23 controls in drawing
// order) for plug at scale 1 or 2, with the images of ids 101 to 112 plus
// imageIdOffset. promptFolder is where the load and save prompts start.
// User-interface or construction thread.
EditorControls BuildEditorLayout(IGraphics& graphics, IPlugBase* plug, int scale,
                                 const std::string& promptFolder, int imageIdOffset = 0);

// What the preset strip shows and remembers besides parameter values: the
// preset name and the load and save files and folders. Carried from one
// layout to the other when the editor changes scale.
struct PresetStripState
{
  std::string presetName;
  std::string loadPath;
  std::string loadFolder;
  std::string savePath;
  std::string saveFolder;
};

// Instance lock held (the preset actions read and write the same state).
PresetStripState SavePresetStrip(const EditorControls& controls);
void RestorePresetStrip(const PresetStripState& state, const EditorControls& controls);
