#pragma once

// Where the preset library finds its files, and the name it shows for a
// file. base is the shared documents folder (common_documents.h). Pure
// functions; any thread, allocate.

#include <string>

constexpr int kPresetNameMaxChars = 35;

// base + "/VornAudio/Thudwerk/Presets/".
std::string PresetFolder(const std::string& base);

// The catalogue file of a preset index: the preset folder followed by the
// preset's relative path ("Factory/EDM - 1990s Dance A.thudwerkpreset"); the
// preset folder alone for an index that names no preset.
std::string CataloguePresetPath(const std::string& base, int presetIndex);

// The folder the file prompts start in: the preset folder without its
// trailing separator, in the system's separators.
std::string PresetPromptFolder(const std::string& base);

// The file's name without folder (either separator) and without its last
// extension, cut to 35 characters followed by "..." when longer.
std::string PresetDisplayName(const std::string& path);
