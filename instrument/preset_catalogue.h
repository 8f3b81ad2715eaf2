#pragma once

// The fixed table of presets the instrument offers: factory presets, user
// slots and the banks of the selector's menus. Indices 1 to 146 name a
// preset; index 0 (the header entry) and every other value name none.
// Read-only data and pure functions: safe from any thread, no allocation.

#include <cstddef>

constexpr int kPresetHeaderIndex = 0;
constexpr int kFirstPresetIndex = 1;
constexpr int kLastPresetIndex = 146;
constexpr int kFirstUserPresetIndex = 47;
constexpr int kUserPresetSlots = 100;

// One item of the selector's main menu. Items with a bank open a submenu
// whose item at position p is the preset baseIndex + p.
struct PresetMenuEntry
{
  const char* text;
  bool opensBank;
  int baseIndex; // the preset of a plain item, or the first preset of a bank
  int count;
};

constexpr int kPresetMainMenuItems = 9;
extern const PresetMenuEntry kPresetMainMenu[kPresetMainMenuItems];

// The preset index carried by a PresetSelector value: add 0.5, truncate
// toward zero (so -1 and -0.6 give 0, 46.5 gives 47). Values beyond the int
// range, and NaN, give 0.
int PresetIndexFromValue(double selectorValue);

bool NamesPreset(int presetIndex);

// The index of a menu choice: a main-menu item position (subItem -1), or a
// bank item (mainItem opening a bank, subItem its position). -1 when the
// pair is not a choice.
int PresetIndexFromMenuChoice(int mainItem, int subItem);

// Writes the display name ("EDM - 1990s Dance A", "USR - Thudwerk User
// Preset 001") or the path relative to the preset folder
// ("Factory/EDM - 1990s Dance A.thudwerkpreset") into out. Returns false and
// writes an empty text when the index names no preset or the text does not
// fit.
bool PresetName(int presetIndex, char* out, size_t capacity);
bool PresetRelativePath(int presetIndex, char* out, size_t capacity);
