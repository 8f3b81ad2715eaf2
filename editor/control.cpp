#include "control.h"

#include "graphics.h"
#include "text_control.h"

#include "plug_base.h"
#include "plug_param.h"

#include <cmath>
#include <string>

IControl::IControl(IPlugBase* plug, const IRect& rect, int paramIdx, const IBlend& blend)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blend)
{
}

IControl::~IControl() = default;

void IControl::OnMouseDown(int, int, IMouseKeys* mods)
{
  if (mods && mods->R) AskForValueText();
}

void IControl::OnMouseUp(int, int, IMouseKeys*) {}

void IControl::OnMouseDrag(int, int, int, int, IMouseKeys*) {}

void IControl::OnMouseDblClick(int, int, IMouseKeys*)
{
  if (mDefaultValue >= 0.0)
  {
    mValue = mDefaultValue;
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int, int, IMouseKeys*, int) {}

bool IControl::OnKeyDown(int, int, int)
{
  return false;
}

void IControl::OnMouseOver(int, int, IMouseKeys*) {}

void IControl::OnMouseOut() {}

void IControl::TakeValueFromPlug(double value)
{
  if (mDefaultValue < 0.0)
  {
    // The first value the plug pushes, when the editor is attached, is the
    // one a double click restores.
    mDefaultValue = mValue = value;
    return;
  }
  if (value != mValue) // a NaN on either side counts as a change
  {
    mValue = value;
    SetDirty(false);
    mDirtyAgain = true;
  }
}

void IControl::TakeValueFromUserInput(double value)
{
  if (value != mValue)
  {
    mValue = value;
    SetDirty(true);
    mDirtyAgain = true;
  }
}

void IControl::SetTextFromTextEntry(const char*) {}

void IControl::Hide(bool hide)
{
  mHide = hide;
  mDirtyAgain = true;
  SetDirty(false);
}

void IControl::SetGrayed(bool grayed)
{
  mGrayed = grayed;
  mBlend.mWeight = grayed ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::HitTest(int x, int y)
{
  return mTargetRECT.Contains(x, y);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  if (std::isnan(mValue) || mValue < mClampLo)
    mValue = mClampLo;
  else if (mValue > mClampHi)
    mValue = mClampHi;
  mDirty = true;
  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;

  mPlug->SetParameterFromEditor(mParamIdx, mValue);
  IPlugParam* param = mPlug->GetParam(mParamIdx);
  if (!param) return;
  if (mValDisplayControl)
  {
    char display[33] = {};
    param->FormatForHost(display, int(sizeof(display)));
    std::string label(param->LabelForHost());
    if (label.size() > 32) label.resize(32);
    mValDisplayControl->ShowTextFromPlug(std::string(display) + " " + label);
  }
  if (mNameDisplayControl) mNameDisplayControl->ShowTextFromPlug(param->Name());
}

void IControl::MarkClean()
{
  mDirty = mDirtyAgain;
  mDirtyAgain = false;
}

bool IControl::IsDirty()
{
  return mDirty;
}

void IControl::TakeAuxValueFromPlug(int auxParamIdx, double value)
{
  AuxParam* aux = GetAuxParam(auxParamIdx);
  if (!aux || aux->mValue == value) return;
  aux->mValue = value;
  SetDirty(false);
  mDirtyAgain = true;
}

void IControl::AskForValueText()
{
  if (mParamIdx < 0 || mDisablePrompt || !mPlug || !mGraphics) return;
  IPlugParam* param = mPlug->GetParam(mParamIdx);
  if (!param) return;
  IRect box = mRECT;
  if (param->DisplayTextCount() == 0)
  {
    const int cx = int(float(mRECT.L + mRECT.R) * 0.5f);
    const int cy = int(float(mRECT.T + mRECT.B) * 0.5f);
    box = IRect(cx - 20, cy - 8, cx + 20, cy + 8);
  }
  mGraphics->AskForValueText(this, param, box);
  mDirtyAgain = true;
}

void IControl::AddAuxParam(int paramIdx)
{
  mAuxParams.push_back(AuxParam{0.0, paramIdx});
}

IControl::AuxParam* IControl::GetAuxParam(int position)
{
  if (position < 0 || position >= NAuxParams()) return nullptr;
  return &mAuxParams[size_t(position)];
}

int IControl::AuxParamPosition(int paramIdx) const
{
  for (size_t i = 0; i < mAuxParams.size(); ++i)
    if (mAuxParams[i].mParamIdx == paramIdx) return int(i);
  return -1;
}
