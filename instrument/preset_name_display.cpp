#include "preset_name_display.h"

#include "preset_catalogue.h"
#include "preset_paths.h"

void PresetNameDisplay::ShowNameFromAnyThread(const std::string& name)
{
  CriticalSectionLock lock(mPendingLock);
  mPendingName = name;
  mHasPendingName = true;
  mPendingPresetIndex.store(kNoPreset, std::memory_order_release);
}

void PresetNameDisplay::ShowCataloguePresetFromAnyThread(int presetIndex)
{
  mPendingPresetIndex.store(presetIndex, std::memory_order_release);
}

std::string PresetNameDisplay::CataloguePresetName(int presetIndex) const
{
  // Named as a read of its file would name it.
  char relativePath[256] = {};
  PresetRelativePath(presetIndex, relativePath, sizeof(relativePath));
  return PresetDisplayName(relativePath);
}

bool PresetNameDisplay::IsDirty()
{
  {
    CriticalSectionLock lock(mPendingLock);
    if (mHasPendingName)
    {
      ShowTextFromPlug(mPendingName);
      mHasPendingName = false;
    }
  }
  const int presetIndex = mPendingPresetIndex.exchange(kNoPreset, std::memory_order_acq_rel);
  if (presetIndex != kNoPreset) ShowTextFromPlug(CataloguePresetName(presetIndex));
  return ITextControl::IsDirty();
}

std::string PresetNameDisplay::NameShown()
{
  CriticalSectionLock lock(mPendingLock);
  const int presetIndex = mPendingPresetIndex.load(std::memory_order_acquire);
  if (presetIndex != kNoPreset) return CataloguePresetName(presetIndex);
  return mHasPendingName ? mPendingName : GetTextString();
}
