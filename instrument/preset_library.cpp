#include "preset_library.h"

#include "plug_base.h"
#include "preset_file.h"
#include "preset_file_selector.h"
#include "preset_file_store.h"
#include "preset_name_display.h"
#include "preset_paths.h"

PresetLibrary::PresetLibrary(IPlugBase& plug, PresetFileSelector& loadSelector,
                             PresetFileSelector& saveSelector, PresetNameDisplay& presetName,
                             std::string baseFolder)
    : mPlug(plug), mPresetLoadSelector(loadSelector), mPresetSaveSelector(saveSelector),
      mPresetNameText(presetName), mBaseFolder(std::move(baseFolder)),
      mStore(&SystemPresetFileStore())
{
}

bool PresetLibrary::IsLoadFromPrompt() const
{
  return mPresetLoadSelector.IsReportingPrompt();
}

bool PresetLibrary::IsSaveFromPrompt() const
{
  return mPresetSaveSelector.IsReportingPrompt();
}

void PresetLibrary::UseFileStore(PresetFileStore& store)
{
  mStore = &store;
}

PresetFileLoad PresetLibrary::Perform(const PresetRequests& requests)
{
  PresetFileLoad load = ReadPresetFile(requests);
  if (requests.write) WritePresetFile();
  return load;
}

PresetFileLoad PresetLibrary::ReadPresetFile(const PresetRequests& requests)
{
  PresetFileLoad load;
  std::string path =
      requests.selectCatalogue ? CataloguePresetPath(mBaseFolder, requests.catalogueIndex) : "";
  PresetFileStore* store = nullptr;
  {
    CriticalSectionLock lock(mPlug.GetLock());
    if (requests.selectCatalogue) mPresetLoadSelector.SetPath(path);
    path = mPresetLoadSelector.Path();
    store = mStore;
  }
  if (!requests.read) return load;
  std::string line;
  if (store->ReadLastLine(path, line) != PresetFileRead::kRead) return load;
  load.read = true;
  load.path = std::move(path);
  load.values = ParsePresetLine(line);
  return load;
}

void PresetLibrary::WritePresetFile()
{
  std::string path;
  double values[kPresetFileParams] = {};
  PresetFileStore* store = nullptr;
  {
    CriticalSectionLock lock(mPlug.GetLock());
    path = mPresetSaveSelector.Path();
    for (int i = 0; i < kPresetFileParams; ++i)
      values[i] = mPlug.GetParam(kPresetFileTags[i].paramIdx)->Value();
    store = mStore;
  }
  if (store->WriteText(path, PresetFileText(values)))
  {
    if (!PresetDisplayName(path).empty()) ShowPresetName(path);
    return;
  }
  // A cancelled prompt leaves the path empty: nothing was asked for.
  if (path.empty()) return;
  // The name shown stays that of the sound the user really has on disk.
  CriticalSectionLock lock(mPlug.GetLock());
  mPresetSaveSelector.ShowMessageAfterReport("The preset could not be saved as\n" + path +
                                             "\nA file already there is unchanged.");
}

void PresetLibrary::ShowPresetName(const std::string& path)
{
  mPresetNameText.ShowNameFromAnyThread(PresetDisplayName(path));
}

void PresetLibrary::ShowCataloguePresetName(int presetIndex)
{
  mPresetNameText.ShowCataloguePresetFromAnyThread(presetIndex);
}
