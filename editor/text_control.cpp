#include "text_control.h"

#include "graphics.h"

ITextControl::ITextControl(IPlugBase* plug, const IRect& rect, const ITextStyle& text,
                           const char* str)
    : IControl(plug, rect), mStr(str ? str : "")
{
  mText = text;
}

bool ITextControl::Draw(IGraphics* graphics)
{
  if (mStr.empty()) return true;
  return graphics->DrawText(&mText, mStr.c_str(), mRECT);
}

void ITextControl::ShowTextFromPlug(const std::string& str)
{
  if (str == mStr) return;
  SetDirty(false);
  mStr = str;
}
