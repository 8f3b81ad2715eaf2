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
  // The answer and the change it reports go together, so no other thread's
  // preset action can come between them.
  CriticalSectionLock lock(mPlug->GetLock());
  mPath = mFile;
  mReportingPrompt = true;
  IFileSelectorControl::SetDirty(true);
  mReportingPrompt = false;
}
