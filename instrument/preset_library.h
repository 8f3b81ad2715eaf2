#pragma once

#include "preset_file_actions.h"

#include <string>

class IPlugBase;
class PresetFileSelector;
class PresetFileStore;
class PresetNameDisplay;
struct KickEngine;

// The preset library's file side: catalogue paths below the preset folder,
// reading a preset file into the ten sound parameters (host value, engine
// and editor), writing them from the save prompt, and the name display.
//
// Threads: the Is... and UseFileStore calls come with the instance lock
// held; Perform comes without it, never on the audio thread, and takes the
// lock only for short steps: the disk is never waited for under it.
class PresetLibrary : public PresetFileActions
{
public:
  // baseFolder: the shared documents folder (common_documents.h). The plug,
  // engine and controls outlive the library. Files go through the system
  // store until UseFileStore.
  PresetLibrary(IPlugBase& plug, KickEngine* engine, PresetFileSelector& loadSelector,
                PresetFileSelector& saveSelector, PresetNameDisplay& presetName,
                std::string baseFolder);

  bool IsLoadFromPrompt() const override;
  bool IsSaveFromPrompt() const override;
  void UseFileStore(PresetFileStore& store) override;
  void Perform(const PresetRequests& requests) override;

private:
  // Sets the catalogue path when asked, then loads the load selector's
  // file; an unreadable file, or one whose last line is empty, changes
  // nothing.
  void LoadPresetFile(const PresetRequests& requests);
  // Writes the ten values to the save selector's file and shows its name;
  // a failed save leaves the name as it was and tells the user.
  void WritePresetFile();
  void ShowPresetName(const std::string& path);

  IPlugBase& mPlug;
  KickEngine* mEngine;
  PresetFileSelector& mPresetLoadSelector;
  PresetFileSelector& mPresetSaveSelector;
  PresetNameDisplay& mPresetNameText;
  std::string mBaseFolder;
  PresetFileStore* mStore;
};
