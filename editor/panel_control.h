#pragma once

#include "control.h"

// A rectangle filled with one colour, composited with the colour's alpha.
class IPanelControl : public IControl
{
public:
  IPanelControl(IPlugBase* plug, const IRect& rect, const IRgba& color)
      : IControl(plug, rect, -1, IBlend(IBlend::kBlendNone, 1.0f)), mColor(color)
  {
  }

  bool Draw(IGraphics* graphics) override;

  const IRgba& GetColor() const { return mColor; }

protected:
  IRgba mColor;
};
