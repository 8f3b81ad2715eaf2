#pragma once

#include "control.h"

// A knob turned by dragging: the gearing is how many control heights (or
// widths) of travel a full sweep takes.
class IKnobControl : public IControl
{
public:
  enum Direction : int32_t
  {
    kVertical = 0,
    kHorizontal = 1
  };

  // With Ctrl or Shift held, dragging is ten times finer.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseKeys* mods) override;

  int32_t GetDirection() const { return mDirection; }
  double GetGearing() const { return mGearing; }
  void SetGearing(double gearing) { mGearing = gearing; }

protected:
  IKnobControl(IPlugBase* plug, const IRect& rect, int paramIdx, int32_t direction = kVertical,
               double gearing = 4.0)
      : IControl(plug, rect, paramIdx, IBlend(IBlend::kBlendNone, 1.0f)), mDirection(direction),
        mGearing(gearing)
  {
  }

  int32_t mDirection;
  double mGearing;
};

// A knob drawn from a filmstrip, one frame per position.
class IKnobMultiControl : public IKnobControl
{
public:
  // The rectangle is one frame of the image, placed at (x, y).
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IImage& image,
                    int32_t direction = kVertical);

  // One notch moves 0.01, or 0.001 with Ctrl or Shift held.
  void OnMouseWheel(int x, int y, IMouseKeys* mods, int d) override;
  bool Draw(IGraphics* graphics) override;

  const IImage& GetImage() const { return mImage; }

protected:
  IImage mImage;
};
