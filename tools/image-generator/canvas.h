#pragma once

#include "lice_bitmap.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

// A colour with straight (not premultiplied) alpha, every channel in [0, 1].
struct Colour
{
  float r;
  float g;
  float b;
  float a;
};

// An 8-bit colour as designers write it.
constexpr Colour Rgb(int red, int green, int blue, float alpha = 1.0f)
{
  return {red / 255.0f, green / 255.0f, blue / 255.0f, alpha};
}

inline Colour Mix(Colour from, Colour to, float t)
{
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
          from.a + (to.a - from.a) * t};
}

inline Colour WithAlpha(Colour colour, float alpha)
{
  return {colour.r, colour.g, colour.b, alpha};
}

// Multiplies the colour channels (not alpha): above 1 lightens, below darkens.
inline Colour Shade(Colour colour, float factor)
{
  return {std::min(1.0f, colour.r * factor), std::min(1.0f, colour.g * factor),
          std::min(1.0f, colour.b * factor), colour.a};
}

// Adds `amount` to the colour channels (negative darkens), keeping alpha.
inline Colour Brighten(Colour colour, float amount)
{
  return {std::clamp(colour.r + amount, 0.0f, 1.0f), std::clamp(colour.g + amount, 0.0f, 1.0f),
          std::clamp(colour.b + amount, 0.0f, 1.0f), colour.a};
}

// An axis-aligned area in design units.
struct Box
{
  float left;
  float top;
  float right;
  float bottom;
};

inline Box Inflate(Box box, float by)
{
  return {box.left - by, box.top - by, box.right + by, box.bottom + by};
}

// A drawing surface measured in design units: one unit is one pixel of the
// normal-scale image and `scale` pixels of this surface, so every image is
// drawn at its own resolution from the same geometry. Shapes are signed
// distance functions (design units, negative inside); their edges are
// smoothed analytically over one device pixel, or blurred for soft shadows.
class Canvas
{
public:
  Canvas(int width, int height, int scale);

  int Scale() const { return mScale; }
  float Width() const { return static_cast<float>(mPixelWidth) / mScale; }
  float Height() const { return static_cast<float>(mPixelHeight) / mScale; }
  int PixelWidth() const { return mPixelWidth; }
  int PixelHeight() const { return mPixelHeight; }

  // Moves the origin to the frame's top left and clips drawing to the frame
  // (one frame of a filmstrip); ResetFrame returns to the whole surface.
  void SetFrame(Box frame);
  void ResetFrame();

  // Paints paint(x, y) wherever distance(x, y) is negative, with
  // coordinates relative to the current origin. With blur > 0 the edge is a
  // Gaussian fall-off of that standard deviation (design units) instead of
  // a one-pixel edge. `bounds` must hold the whole shape; it is widened for
  // the blur by the canvas.
  template <class Distance, class Paint>
  void Fill(Box bounds, Distance distance, Paint paint, float blur = 0.0f)
  {
    const float reach = blur > 0.0f ? 3.0f * blur : 1.0f / mScale;
    const Box area = Inflate(bounds, reach);
    const int x0 = std::max(mClipLeft, PixelFloor(area.left + mOriginX));
    const int y0 = std::max(mClipTop, PixelFloor(area.top + mOriginY));
    const int x1 = std::min(mClipRight, PixelCeil(area.right + mOriginX));
    const int y1 = std::min(mClipBottom, PixelCeil(area.bottom + mOriginY));
    for (int py = y0; py < y1; ++py)
    {
      const float y = (py + 0.5f) / mScale - mOriginY;
      for (int px = x0; px < x1; ++px)
      {
        const float x = (px + 0.5f) / mScale - mOriginX;
        const float d = distance(x, y);
        const float coverage = blur > 0.0f ? BlurredCoverage(d, blur) : EdgeCoverage(d);
        if (coverage > 0.0f) BlendOver(px, py, Colour(paint(x, y)), coverage);
      }
    }
  }

  template <class Distance>
  void FillColour(Box bounds, Distance distance, Colour colour, float blur = 0.0f)
  {
    Fill(
        bounds, distance, [colour](float, float) { return colour; }, blur);
  }

  // The pixel (device coordinates) as a straight-alpha colour.
  Colour PixelAt(int px, int py) const;

  // The raster layer's bitmap of this surface (straight alpha, rounded).
  std::unique_ptr<LICE_MemBitmap> ToBitmap() const;

private:
  struct Premultiplied
  {
    float r;
    float g;
    float b;
    float a;
  };

  int PixelFloor(float designUnits) const
  {
    return static_cast<int>(std::floor(designUnits * mScale));
  }
  int PixelCeil(float designUnits) const
  {
    return static_cast<int>(std::ceil(designUnits * mScale));
  }
  float EdgeCoverage(float distance) const
  {
    return std::clamp(0.5f - distance * mScale, 0.0f, 1.0f);
  }
  static float BlurredCoverage(float distance, float blur)
  {
    return 0.5f * std::erfc(distance / (blur * 1.41421356f));
  }
  void BlendOver(int px, int py, Colour colour, float coverage);

  int mScale;
  int mPixelWidth;
  int mPixelHeight;
  std::vector<Premultiplied> mPixels;
  float mOriginX = 0.0f;
  float mOriginY = 0.0f;
  int mClipLeft = 0;
  int mClipTop = 0;
  int mClipRight = 0;
  int mClipBottom = 0;
};
