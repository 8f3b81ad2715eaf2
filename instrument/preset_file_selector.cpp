#include "preset_file_selector.h"

#include "plug_base.h"

PresetFileSelector::PresetFileSelector(IPlugBase* plug, const IRect& rect, int paramIdx,
                                       const IImage& image, int32_t action, const char* folder,
                                       const char* extensions)
    : IFileSelectorControl(plug, rect, paramIdx, image, action, folder, extensions)
{
}

void PresetFileSelector::OnMouseDown(int x, int y, IMouseKeys* mods)
{
  if (!mPlug) return;
  {
    CriticalSectionLock lock(mPlug->GetLock());
    mFile = mPath;
  }
  mPromptRunning = true;
  IFileSelectorControl::OnMouseDown(x, y, mods);
  mPromptRunning = false;
}

void PresetFileSelector::SetDirty(bool pushParamToPlug)
{
  const bool promptAnswered = pushParamToPlug && mPromptRunning && mState == kDialogFinished;
  if (!promptAnswered || !mPlug)
  {
    IFileSelectorControl::SetDirty(pushParamToPlug);
    return;
  }
  {
    CriticalSectionLock lock(mPlug->GetLock());
    mPath = mFile;
    mReportingThread = std::this_thread::get_id();
  }
  // Reported outside the lock: the report tells the host and then reads or
  // writes the file, neither of which may happen under it.
  IFileSelectorControl::SetDirty(true);
  CriticalSectionLock lock(mPlug->GetLock());
  mReportingThread = std::thread::id();
}
