#include "bitmap_control.h"

#include "graphics.h"

int FrameForValue(int nFrames, double value)
{
  if (nFrames < 2) return 1;
  const double position = double(nFrames - 1) * value + 0.5;
  // Compared before converting, so that NaN and huge values stay defined.
  if (!(position >= 0.0)) return 1;
  if (position >= double(nFrames - 1)) return nFrames;
  return int(position) + 1;
}

IRect ImageFrameRect(int x, int y, const IImage& image)
{
  return IRect(x, y, x + image.W, y + image.H / (image.N < 1 ? 1 : image.N));
}

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IImage& image,
                               const IBlend& blend)
    : IControl(plug, ImageFrameRect(x, y, image), paramIdx, blend), mImage(image)
{
}

bool IBitmapControl::Draw(IGraphics* graphics)
{
  return graphics->DrawImageFrame(mImage, mRECT, FrameForValue(mImage.N, mValue), &mBlend);
}

void ISwitchControl::OnMouseDown(int, int, IMouseKeys*)
{
  mValue += mImage.N < 2 ? 1.0 : 1.0 / double(mImage.N - 1);
  if (mValue > 1.001) mValue = 0.0;
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseKeys* mods)
{
  OnMouseDown(x, y, mods);
}

void IContactControl::OnMouseUp(int, int, IMouseKeys*)
{
  mValue = 0.0;
  SetDirty(true);
}
