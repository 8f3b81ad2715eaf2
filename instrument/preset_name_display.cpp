#include "preset_name_display.h"

void PresetNameDisplay::ShowNameFromAnyThread(const std::string& name)
{
  CriticalSectionLock lock(mPendingLock);
  mPendingName = name;
  mHasPendingName = true;
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
  return ITextControl::IsDirty();
}

std::string PresetNameDisplay::NameShown()
{
  CriticalSectionLock lock(mPendingLock);
  return mHasPendingName ? mPendingName : GetTextString();
}
