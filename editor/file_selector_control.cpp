#include "file_selector_control.h"

#include "graphics.h"
#include "plug_base.h"

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
  // The modal prompt swallows the release, so the press's gesture ends
  // before it opens (a host would keep it open, as for touch automation),
  // and the answer is reported in a gesture of its own.
  mGraphics->EndPressGestureEarly(mParamIdx);
  mState = kDialogOpen;
  SetDirty(false);
  mGraphics->AskForFile(mFile, mAction, mDir, mExtensions.c_str());
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kDialogFinished;
  if (mParamIdx >= 0) mPlug->BeginParamGesture(mParamIdx);
  SetDirty(true);
  if (mParamIdx >= 0) mPlug->EndParamGesture(mParamIdx);
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
