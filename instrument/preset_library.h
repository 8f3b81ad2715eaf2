#pragma once

#include "preset_file_actions.h"

#include <string>

class IPlugBase;
class PresetFileSelector;
class PresetFileStore;
class PresetNameDisplay;

// The preset library's file side: catalogue paths below the preset folder,
// reading a preset file's ten sound values, writing them from the save
// prompt, and the name display.
//
// Threads: the Is... and UseFileStore calls come with the instance lock
// held; Perform comes without it, never on the audio thread, and takes the
// lock only for short steps: the disk is never waited for under it.
class PresetLibrary : public PresetFileActions
{
public:
  // baseFolder: the shared documents folder (common_documents.h). The plug
  // and controls outlive the library. Files go through the system store
  // until UseFileStore.
  PresetLibrary(IPlugBase& plug, PresetFileSelector& loadSelector, PresetFileSelector& saveSelector,
                PresetNameDisplay& presetName, std::string baseFolder);

  bool IsLoadFromPrompt() const override;
  bool IsSaveFromPrompt() const override;
  void UseFileStore(PresetFileStore& store) override;
  PresetFileLoad Perform(const PresetRequests& requests) override;
  void ShowPresetName(const std::string& path) override;
  void ShowCataloguePresetName(int presetIndex) override;

private:
  // Sets the catalogue path when asked, then reads the load selector's
  // file when asked; an unreadable file, or one whose last line is empty,
  // yields nothing.
  PresetFileLoad ReadPresetFile(const PresetRequests& requests);
  // Writes the ten values to the save selector's file and shows its name;
  // a failed save leaves the name as it was and tells the user.
  void WritePresetFile();

  IPlugBase& mPlug;
  PresetFileSelector& mPresetLoadSelector;
  PresetFileSelector& mPresetSaveSelector;
  PresetNameDisplay& mPresetNameText;
  std::string mBaseFolder;
  PresetFileStore* mStore;
};
