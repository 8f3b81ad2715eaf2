#pragma once

// The file side of the preset library, which the instrument drives from
// HandleParamChange for the preset parameters. The library (preset files,
// the editor's file selectors and name display) implements it and hands it
// to Thudwerk::AttachPresetFileActions. Every call comes with the instance
// lock held, from whichever thread changed the parameter; they may block on
// file input and output.
class PresetFileActions
{
public:
  virtual ~PresetFileActions() = default;

  // Makes the catalogue file of presetIndex the one ReadPresetFile reads
  // (the preset folder itself for an index that names no preset).
  virtual void SetPresetPathFromIndex(int presetIndex) = 0;
  // Reads the current preset file into the preset parameters.
  virtual void ReadPresetFile() = 0;
  // PresetSave changed; writes the preset file only when the change came
  // from the save prompt.
  virtual void PresetSaveChanged() = 0;
};
