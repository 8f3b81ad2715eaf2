#pragma once

#include "control.h"

#include <string>

// A line of text drawn with its own text style; no parameter.
class ITextControl : public IControl
{
public:
  ITextControl(IPlugBase* plug, const IRect& rect, const ITextStyle& text, const char* str = "");

  bool Draw(IGraphics* graphics) override;

  // Shows a new string; an unchanged string does not mark the control dirty.
  void ShowTextFromPlug(const std::string& str);
  const std::string& GetTextString() const { return mStr; }

protected:
  std::string mStr;
};
