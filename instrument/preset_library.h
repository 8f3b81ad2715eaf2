#pragma once

#include "preset_file_actions.h"

#include <string>

class IPlugBase;
class PresetFileSelector;
class PresetNameDisplay;
struct KickEngine;

// The preset library's file side: catalogue paths below the preset folder,
// reading a preset file into the ten sound parameters (host value, engine
// and editor), writing them from the save prompt, and the name display.
//
// Threads: every call comes from Thudwerk::HandleParamChange with the
// instance lock held, on whichever thread changed the preset parameter; the
// calls may block on file input and output.
class PresetLibrary : public PresetFileActions
{
public:
  // baseFolder: the shared documents folder (common_documents.h). The plug,
  // engine and controls outlive the library.
  PresetLibrary(IPlugBase& plug, KickEngine* engine, PresetFileSelector& loadSelector,
                PresetFileSelector& saveSelector, PresetNameDisplay& presetName,
                std::string baseFolder);

  void SetPresetPathFromIndex(int presetIndex) override;
  // Loads the load selector's file; an unreadable file, or one whose last
  // line is empty, changes nothing.
  void ReadPresetFile() override;
  // Writes only for the change the save prompt reports: host automation
  // and restored states never overwrite the user's last saved file.
  void PresetSaveChanged() override;
  // Writes the ten values to the save selector's file (a failure is silent)
  // and shows its name.
  void WritePresetFile();
  void ShowPresetName(const std::string& path);

private:
  IPlugBase& mPlug;
  KickEngine* mEngine;
  PresetFileSelector& mPresetLoadSelector;
  PresetFileSelector& mPresetSaveSelector;
  PresetNameDisplay& mPresetNameText;
  std::string mBaseFolder;
};
