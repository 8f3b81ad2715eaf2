#include "preset_library.h"

#include "kick_engine.h"
#include "plug_base.h"
#include "preset_file.h"
#include "preset_file_selector.h"
#include "preset_file_store.h"
#include "preset_name_display.h"
#include "preset_paths.h"

#include <algorithm>

PresetLibrary::PresetLibrary(IPlugBase& plug, KickEngine* engine, PresetFileSelector& loadSelector,
                             PresetFileSelector& saveSelector, PresetNameDisplay& presetName,
                             std::string baseFolder)
    : mPlug(plug), mEngine(engine), mPresetLoadSelector(loadSelector),
      mPresetSaveSelector(saveSelector), mPresetNameText(presetName),
      mBaseFolder(std::move(baseFolder)), mStore(&SystemPresetFileStore())
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

void PresetLibrary::Perform(const PresetRequests& requests)
{
  if (requests.selectCatalogue || requests.read) LoadPresetFile(requests);
  if (requests.write) WritePresetFile();
}

void PresetLibrary::LoadPresetFile(const PresetRequests& requests)
{
  std::string path =
      requests.selectCatalogue ? CataloguePresetPath(mBaseFolder, requests.catalogueIndex) : "";
  PresetFileStore* store = nullptr;
  {
    CriticalSectionLock lock(mPlug.GetLock());
    if (requests.selectCatalogue) mPresetLoadSelector.SetPath(path);
    path = mPresetLoadSelector.Path();
    store = mStore;
  }
  if (!requests.read) return;
  std::string line;
  if (store->ReadLastLine(path, line) != PresetFileRead::kRead) return;
  const PresetFileValues values = ParsePresetLine(line);
  {
    CriticalSectionLock lock(mPlug.GetLock());
    for (int i = 0; i < kPresetFileParams; ++i)
    {
      if (!values.found[i]) continue;
      const int paramIdx = kPresetFileTags[i].paramIdx;
      // Adding 0 turns a loaded -0 into 0.
      const double limited = std::clamp(values.value[i], 0.0, 1.0) + 0.0;
      mPlug.GetParam(paramIdx)->SetClamped(limited);
      EngineSetParam(mEngine, paramIdx, limited);
      // The controls get the value as loaded; they limit what they draw.
      if (IPlugEditor* editor = mPlug.GetEditor())
        editor->PushParamToControls(paramIdx, values.value[i], true);
    }
  }
  mPlug.RequestHostRefresh();
  ShowPresetName(path);
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
