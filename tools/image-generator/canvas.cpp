#include "canvas.h"

#include <algorithm>

Canvas::Canvas(int width, int height, int scale)
    : mScale(scale), mPixelWidth(width * scale), mPixelHeight(height * scale),
      mPixels(static_cast<std::size_t>(mPixelWidth) * mPixelHeight, Premultiplied{0, 0, 0, 0})
{
  ResetFrame();
}

void Canvas::SetFrame(Box frame)
{
  mOriginX = frame.left;
  mOriginY = frame.top;
  mClipLeft = std::max(0, PixelFloor(frame.left));
  mClipTop = std::max(0, PixelFloor(frame.top));
  mClipRight = std::min(mPixelWidth, PixelCeil(frame.right));
  mClipBottom = std::min(mPixelHeight, PixelCeil(frame.bottom));
}

void Canvas::ResetFrame()
{
  SetFrame({0.0f, 0.0f, static_cast<float>(mPixelWidth) / mScale,
            static_cast<float>(mPixelHeight) / mScale});
}

void Canvas::BlendOver(int px, int py, Colour colour, float coverage)
{
  Premultiplied& dest = mPixels[static_cast<std::size_t>(py) * mPixelWidth + px];
  const float alpha = std::clamp(colour.a * coverage, 0.0f, 1.0f);
  const float keep = 1.0f - alpha;
  dest.r = colour.r * alpha + dest.r * keep;
  dest.g = colour.g * alpha + dest.g * keep;
  dest.b = colour.b * alpha + dest.b * keep;
  dest.a = alpha + dest.a * keep;
}

Colour Canvas::PixelAt(int px, int py) const
{
  const Premultiplied& p = mPixels[static_cast<std::size_t>(py) * mPixelWidth + px];
  if (p.a <= 0.0f) return {0, 0, 0, 0};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

namespace
{
int ToByte(float value)
{
  return static_cast<int>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}
} // namespace

std::unique_ptr<LICE_MemBitmap> Canvas::ToBitmap() const
{
  auto bitmap = std::make_unique<LICE_MemBitmap>(mPixelWidth, mPixelHeight);
  LICE_pixel* bits = bitmap->Bits();
  if (!bits) return nullptr;
  const int span = bitmap->RowSpan();
  for (int py = 0; py < mPixelHeight; ++py)
  {
    LICE_pixel* row = bits + static_cast<std::size_t>(py) * span;
    for (int px = 0; px < mPixelWidth; ++px)
    {
      const Colour c = PixelAt(px, py);
      const int alpha = ToByte(c.a);
      row[px] = alpha == 0 ? 0 : LICE_Rgba(ToByte(c.r), ToByte(c.g), ToByte(c.b), alpha);
    }
    // The row's alignment padding comes from malloc; clear it so equal paintings give equal
    // buffers.
    std::fill(row + mPixelWidth, row + span, LICE_pixel(0));
  }
  return bitmap;
}
