#include "preset_library.h"

#include "kick_engine.h"
#include "plug_base.h"
#include "preset_file.h"
#include "preset_file_selector.h"
#include "preset_name_display.h"
#include "preset_paths.h"

#include <algorithm>

PresetLibrary::PresetLibrary(IPlugBase& plug, KickEngine* engine, PresetFileSelector& loadSelector,
                             PresetFileSelector& saveSelector, PresetNameDisplay& presetName,
                             std::string baseFolder)
    : mPlug(plug), mEngine(engine), mPresetLoadSelector(loadSelector),
      mPresetSaveSelector(saveSelector), mPresetNameText(presetName),
      mBaseFolder(std::move(baseFolder))
{
}

void PresetLibrary::SetPresetPathFromIndex(int presetIndex)
{
  mPresetLoadSelector.SetPath(CataloguePresetPath(mBaseFolder, presetIndex));
}

void PresetLibrary::ReadPresetFile()
{
  const std::string path = mPresetLoadSelector.Path();
  std::string line;
  if (ReadPresetLastLine(path, line) != PresetFileRead::kRead) return;
  const PresetFileValues values = ParsePresetLine(line);
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
  ShowPresetName(path);
}

void PresetLibrary::PresetSaveChanged()
{
  if (mPresetSaveSelector.IsReportingPrompt()) WritePresetFile();
}

void PresetLibrary::WritePresetFile()
{
  const std::string path = mPresetSaveSelector.Path();
  double values[kPresetFileParams] = {};
  for (int i = 0; i < kPresetFileParams; ++i)
    values[i] = mPlug.GetParam(kPresetFileTags[i].paramIdx)->Value();
  WritePresetText(path, PresetFileText(values));
  if (!PresetDisplayName(path).empty()) ShowPresetName(path);
}

void PresetLibrary::ShowPresetName(const std::string& path)
{
  mPresetNameText.ShowNameFromAnyThread(PresetDisplayName(path));
}
