#pragma once

#include "control.h"

// The 1-based frame an image of nFrames frames shows for a value: frame 1 at
// 0, the last frame at 1, rounded to the nearest frame in between.
int FrameForValue(int nFrames, double value);

// The rectangle of one frame of an image placed at (x, y). A missing image
// gives a rectangle without extent, which is never hit and draws nothing.
IRect ImageFrameRect(int x, int y, const IImage& image);

// A picture, or one frame of a filmstrip chosen by the value. With no
// parameter it is a decoration (the background is one, with plain copy).
class IBitmapControl : public IControl
{
public:
  // The rectangle is one frame of the image, placed at (x, y).
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IImage& image,
                 const IBlend& blend = IBlend());

  bool Draw(IGraphics* graphics) override;

  const IImage& GetImage() const { return mImage; }

protected:
  IImage mImage;
};

// A toggle: every press steps to the next frame, wrapping to the first.
class ISwitchControl : public IBitmapControl
{
public:
  ISwitchControl(IPlugBase* plug, int x, int y, int paramIdx, const IImage& image)
      : IBitmapControl(plug, x, y, paramIdx, image, IBlend(IBlend::kBlendNone, 1.0f))
  {
  }

  void OnMouseDown(int x, int y, IMouseKeys* mods) override;
  // A double click counts as one more press.
  void OnMouseDblClick(int x, int y, IMouseKeys* mods) override;
};

// A momentary button: steps like a switch on press, back to 0 on release.
class IContactControl : public ISwitchControl
{
public:
  using ISwitchControl::ISwitchControl;

  void OnMouseUp(int x, int y, IMouseKeys* mods) override;
};
