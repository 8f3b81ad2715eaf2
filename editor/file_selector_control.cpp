#include "file_selector_control.h"

#include "graphics.h"

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, const IRect& rect, int paramIdx,
                                           const IImage& image, int32_t action, const char* folder,
                                           const char* extensions)
    : IControl(plug, rect, paramIdx), mImage(image), mDir(folder ? folder : ""),
      mExtensions(extensions ? extensions : ""), mAction(action)
{
}

void IFileSelectorControl::OnMouseDown(int, int, IMouseKeys*)
{
  if (!mPlug || !mGraphics) return;
  mState = kDialogOpen;
  SetDirty(false);
  mGraphics->AskForFile(mFile, mAction, mDir, mExtensions.c_str());
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kDialogFinished;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics)
{
  if (mState == kDialogOpen) graphics->DrawImage(mImage, mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty()
{
  if (mDirty) return true;
  if (mState == kDialogFinished)
  {
    mState = kIdle;
    return true;
  }
  return false;
}
