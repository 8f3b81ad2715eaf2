#include "graphics.h"

#include "control.h"

#include "plug_base.h"

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver) const
{
  for (int i = NControls() - 1; i >= 0; --i)
  {
    IControl* control = mControls[size_t(i)].get();
    const bool takesMouse = !control->IsGrayed() || (mouseOver && control->GetMOWhenGrayed());
    if (!control->IsHidden() && takesMouse && control->HitTest(x, y)) return i;
  }
  return -1;
}

void IGraphics::OnMouseDown(int x, int y, IMouseKeys* mods)
{
  ClearMouseCapture();
  const int index = GetMouseControlIdx(x, y);
  if (index < 0) return;
  IControl* control = mControls[size_t(index)].get();
  mMouseCapture = index;
  mMouseX = x;
  mMouseY = y;
  const int paramIdx = control->ParamIdx();
  if (mPlug && paramIdx >= 0)
  {
    // VST3 hosts show their own parameter menu on a right click.
    if (mPlug->GetApiKind() == kApiVST3 && mods && mods->R)
    {
      ClearMouseCapture();
      mPlug->ShowHostParamMenu(paramIdx, x, y);
      return;
    }
    mPlug->BeginParamGesture(paramIdx);
  }
  mPressGestureEnded = false;
  control->OnMouseDown(x, y, mods);
}

void IGraphics::EndPressGestureEarly(int paramIdx)
{
  if (mPlug && paramIdx >= 0) mPlug->EndParamGesture(paramIdx);
  mPressGestureEnded = true;
}

void IGraphics::OnMouseDrag(int x, int y, IMouseKeys* mods)
{
  IControl* control = GetControl(mMouseCapture);
  if (!control) return;
  const int dX = x - mMouseX;
  const int dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDrag(x, y, dX, dY, mods);
}

void IGraphics::OnMouseUp(int x, int y, IMouseKeys* mods)
{
  const int index = mMouseCapture >= 0 ? mMouseCapture : GetMouseControlIdx(x, y);
  ClearMouseCapture();
  IControl* control = GetControl(index);
  if (!control) return;
  control->OnMouseUp(x, y, mods);
  const int paramIdx = control->ParamIdx();
  if (mPlug && paramIdx >= 0 && !mPressGestureEnded) mPlug->EndParamGesture(paramIdx);
  mPressGestureEnded = false;
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseKeys* mods)
{
  ClearMouseCapture();
  const int index = GetMouseControlIdx(x, y);
  if (index < 0) return false;
  IControl* control = mControls[size_t(index)].get();
  if (!control->DoubleClickActsAsPress())
  {
    control->OnMouseDblClick(x, y, mods);
    return false;
  }
  mMouseCapture = index;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDown(x, y, mods);
  return true;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseKeys* mods, int d)
{
  IControl* control = GetControl(mMouseCapture >= 0 ? mMouseCapture : GetMouseControlIdx(x, y));
  if (control) control->OnMouseWheel(x, y, mods, d);
}

bool IGraphics::OnKeyDown(int x, int y, int key)
{
  const int index = mMouseCapture >= 0 ? mMouseCapture : GetMouseControlIdx(x, y);
  if (index <= 0 || index >= NControls())
    return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
  return mControls[size_t(index)]->OnKeyDown(x, y, key);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseKeys* mods)
{
  if (!mHandleMouseOver) return false;
  const int index = mMouseCapture >= 0 ? mMouseCapture : GetMouseControlIdx(x, y, true);
  IControl* control = GetControl(index);
  if (!control) return true;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseOver(x, y, mods);
  if (mMouseOver != index)
  {
    if (IControl* previous = GetControl(mMouseOver)) previous->OnMouseOut();
  }
  mMouseOver = index;
  return true;
}

void IGraphics::OnMouseOut()
{
  for (const auto& control : mControls)
    control->OnMouseOut();
  mMouseOver = -1;
}
