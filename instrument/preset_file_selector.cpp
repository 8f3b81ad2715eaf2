#include "preset_file_selector.h"

#include "graphics.h"
#include "plug_base.h"

namespace
{
// The window system's plain box with one OK button.
constexpr int kOkBox = 0;
} // namespace

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
  std::string message;
  {
    CriticalSectionLock lock(mPlug->GetLock());
    mReportingThread = std::thread::id();
    message.swap(mMessageAfterReport);
  }
  // The file work the report asked for is done by now: the report ends
  // with it (CompleteDeferredWork), whichever thread took it.
  if (!message.empty() && mGraphics)
    mGraphics->ShowMessageDialog(message.c_str(), "Thudwerk", kOkBox);
}
