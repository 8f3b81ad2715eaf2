#include "preset_catalogue.h"

#include <cmath>
#include <cstdio>

namespace
{
const char* const kFactoryPresetNames[] = {
    "WLCM - The Deep Diver",     "EDM - 1990s Dance A",        "EDM - 1990s Dance B",
    "EDM - 1990s Dance C",       "EDM - 1990s Dance D",        "EDM - 1990s Processed A",
    "EDM - 1990s Processed B",   "EDM - Classic Trance A",     "EDM - Classic Trance B",
    "EDM - Classic Trance C",    "EDM - Classic Trance D",     "EDM - Hard Trance A",
    "EDM - Hard Trance B",       "EDM - Room Trance A",        "EDM - Room Trance B",
    "EDM - Room Trance C",       "EDM - Solid Trance A",       "EDM - Solid Trance B",
    "EDM - Solid Trance C",      "ELEC - Delayed A",           "ELEC - Delayed B",
    "ELEC - Dissonant Beat",     "ELEC - Electro Bass A",      "ELEC - Electro Bass B",
    "ELEC - Electro Bass C",     "ELEC - Electro Bass Proc A", "ELEC - Electro Bass Proc B",
    "ELEC - Long Tail A",        "ELEC - Long Tail B",         "ELEC - Long Tail C",
    "ELEC - Long Tail D",        "ELEC - Long Tail E",         "ELEC - The Snap A",
    "ELEC - The Snap B",         "ELEC - The Snap C",          "ELEC - The Snap D",
    "ELEC - The Snap E",         "ELEC - The Snap F",          "ELEC - The Snap G",
    "NWAVE - 1980s Disco A",     "NWAVE - 1980s Disco B",      "NWAVE - 1980s Disco C",
    "NWAVE - 1980s Disco D",     "NWAVE - 1980s Processed A",  "NWAVE - 1980s Processed B",
    "NWAVE - 1980s Processed C",
};
static_assert(sizeof(kFactoryPresetNames) / sizeof(kFactoryPresetNames[0]) ==
                  kFirstUserPresetIndex - kFirstPresetIndex,
              "factory presets fill indices 1 to 46");
static_assert(kFirstUserPresetIndex + kUserPresetSlots - 1 == kLastPresetIndex,
              "user slots fill indices 47 to 146");

bool Fits(int written, size_t capacity)
{
  return written >= 0 && size_t(written) < capacity;
}

bool Fail(char* out, size_t capacity)
{
  if (out && capacity > 0) out[0] = '\0';
  return false;
}
} // namespace

const PresetMenuEntry kPresetMainMenu[kPresetMainMenuItems] = {
    {"< Presets Library >", false, 0, 1},  {"WLCM - The Deep Diver", false, 1, 1},
    {"Factory > EDM", true, 2, 18},        {"Factory > Electro", true, 20, 20},
    {"Factory > New Wave", true, 40, 7},   {"User > User Bank A", true, 47, 25},
    {"User > User Bank B", true, 72, 25},  {"User > User Bank C", true, 97, 25},
    {"User > User Bank D", true, 122, 25},
};

int PresetIndexFromValue(double selectorValue)
{
  const double shifted = selectorValue + 0.5;
  // Out of int range (or NaN) cannot name a preset; the parameter's own range
  // never gets there, but the conversion must stay defined.
  if (!(shifted > -2147483648.0 && shifted < 2147483648.0)) return kPresetHeaderIndex;
  return int(std::trunc(shifted));
}

bool NamesPreset(int presetIndex)
{
  return presetIndex >= kFirstPresetIndex && presetIndex <= kLastPresetIndex;
}

int PresetIndexFromMenuChoice(int mainItem, int subItem)
{
  if (mainItem < 0 || mainItem >= kPresetMainMenuItems) return -1;
  const PresetMenuEntry& entry = kPresetMainMenu[mainItem];
  if (!entry.opensBank) return subItem < 0 ? entry.baseIndex : -1;
  if (subItem < 0 || subItem >= entry.count) return -1;
  return entry.baseIndex + subItem;
}

bool PresetName(int presetIndex, char* out, size_t capacity)
{
  if (!out || capacity == 0 || !NamesPreset(presetIndex)) return Fail(out, capacity);
  int written;
  if (presetIndex < kFirstUserPresetIndex)
    written = std::snprintf(out, capacity, "%s", kFactoryPresetNames[presetIndex - 1]);
  else
    written = std::snprintf(out, capacity, "USR - Thudwerk User Preset %03d",
                            presetIndex - kFirstUserPresetIndex + 1);
  return Fits(written, capacity) ? true : Fail(out, capacity);
}

bool PresetRelativePath(int presetIndex, char* out, size_t capacity)
{
  char name[64];
  if (!out || capacity == 0) return Fail(out, capacity);
  if (!PresetName(presetIndex, name, sizeof(name))) return Fail(out, capacity);
  const char* folder = presetIndex < kFirstUserPresetIndex ? "Factory" : "User";
  const int written = std::snprintf(out, capacity, "%s/%s.thudwerkpreset", folder, name);
  return Fits(written, capacity) ? true : Fail(out, capacity);
}
