#include "knob_control.h"

#include "bitmap_control.h"
#include "graphics.h"

namespace
{
bool FineAdjustment(const IMouseKeys* mods)
{
  return mods && (mods->C || mods->S);
}
} // namespace

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseKeys* mods)
{
  double gearing = mGearing;
  if (FineAdjustment(mods)) gearing *= 10.0;
  // A control without extent along the drag cannot turn (and must not divide
  // by zero).
  if (mDirection == kVertical)
  {
    if (mRECT.T != mRECT.B) mValue += double(dY) / double(mRECT.T - mRECT.B) / gearing;
  }
  else if (mRECT.R != mRECT.L)
  {
    mValue += double(dX) / double(mRECT.R - mRECT.L) / gearing;
  }
  SetDirty(true);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx,
                                     const IImage& image, int32_t direction)
    : IKnobControl(plug, ImageFrameRect(x, y, image), paramIdx, direction), mImage(image)
{
}

void IKnobMultiControl::OnMouseWheel(int, int, IMouseKeys* mods, int d)
{
  mValue += double(d) * (FineAdjustment(mods) ? 0.001 : 0.01);
  SetDirty(true);
}

bool IKnobMultiControl::Draw(IGraphics* graphics)
{
  return graphics->DrawImageFrame(mImage, mRECT, FrameForValue(mImage.N, mValue), &mBlend);
}
