#include "lice_blit.h"

#include "pixel_blend.h"
#include "source_alpha_row.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace lice_blend
{
namespace
{
constexpr int kHueSteps = 384;
constexpr int kHueSector = 64;

// 65536 / v for v in 1..255, so the conversions multiply instead of divide.
const std::array<int, 256>& Reciprocals()
{
  static const std::array<int, 256> table = []
  {
    std::array<int, 256> t{};
    for (int v = 1; v < 256; ++v)
      t[v] = 65536 / v;
    return t;
  }();
  return table;
}

int DivideByTable(int numerator, int denominator)
{
  const int r = Reciprocals()[denominator];
  return numerator >= 0 ? (numerator * r) >> 16 : -((-numerator * r) >> 16);
}

struct Hsv
{
  int hue; // 0..383
  int saturation;
  int value;
};

Hsv ToHsv(int red, int green, int blue)
{
  const int top = std::max({red, green, blue});
  const int delta = top - std::min({red, green, blue});
  Hsv hsv{0, 0, top};
  if (top == 0 || delta == 0) return hsv;
  hsv.saturation = DivideByTable(delta * 255, top);
  int hue;
  if (red == top)
    hue = DivideByTable((green - blue) * kHueSector, delta);
  else if (green == top)
    hue = 2 * kHueSector + DivideByTable((blue - red) * kHueSector, delta);
  else
    hue = 4 * kHueSector + DivideByTable((red - green) * kHueSector, delta);
  hsv.hue = (hue + kHueSteps) % kHueSteps;
  return hsv;
}

LICE_pixel FromHsv(const Hsv& hsv, int alpha)
{
  const int v = hsv.value;
  const int s = hsv.saturation;
  const int f = hsv.hue % kHueSector;
  const int p = v * (255 - s) / 255;
  const int q = v * (255 - s * f / kHueSector) / 255;
  const int t = v * (255 - s * (kHueSector - f) / kHueSector) / 255;
  switch (hsv.hue / kHueSector)
  {
  case 0:
    return LICE_Rgba(v, t, p, alpha);
  case 1:
    return LICE_Rgba(q, v, p, alpha);
  case 2:
    return LICE_Rgba(p, v, t, alpha);
  case 3:
    return LICE_Rgba(p, q, v, alpha);
  case 4:
    return LICE_Rgba(t, p, v, alpha);
  default:
    return LICE_Rgba(v, p, q, alpha);
  }
}
} // namespace

LICE_pixel HsvAdjust(LICE_pixel d, LICE_pixel s, int w)
{
  Hsv hsv = ToHsv(LICE_RedOf(d), LICE_GreenOf(d), LICE_BlueOf(d));
  // 1.5 x red - 192 in whole steps: (3 x red - 384) / 2.
  const int hueShift = w * (3 * LICE_RedOf(s) - 384) / 512;
  hsv.hue = ((hsv.hue + hueShift) % kHueSteps + kHueSteps) % kHueSteps;
  hsv.saturation = Clamp255(hsv.saturation + w * (LICE_GreenOf(s) - 128) / 128);
  hsv.value = Clamp255(hsv.value + w * (LICE_BlueOf(s) - 128) / 128);
  return FromHsv(hsv, LICE_AlphaOf(s));
}
} // namespace lice_blend

namespace
{
using namespace lice_blend;

// Row r of a bitmap, honouring its orientation in memory.
LICE_pixel* Row(LICE_IBitmap* bitmap, LICE_pixel* bits, int span, int row)
{
  const int memoryRow = bitmap->IsFlipped() ? bitmap->Height() - 1 - row : row;
  return bits + std::ptrdiff_t(memoryRow) * span;
}

bool HasPixels(LICE_IBitmap* bitmap)
{
  return bitmap->Bits() && bitmap->RowSpan() > 0 && bitmap->Width() > 0 && bitmap->Height() > 0;
}

// Clipped rectangle of a blit: `width` x `height` pixels from (srcX, srcY)
// of the source onto (destX, destY) of the destination.
struct BlitArea
{
  int srcX;
  int srcY;
  int destX;
  int destY;
  int width;
  int height;
};

// A negative start on one side of the blit is cut off, moving the other
// side's start along by the same number of pixels.
void MoveStartToZero(std::int64_t& start, std::int64_t& otherStart)
{
  if (start >= 0) return;
  otherStart -= start;
  start = 0;
}

bool ClipBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int x, int y, const LICE_Rect* srcRect,
              BlitArea& area)
{
  // 64-bit so that extreme rectangles cannot wrap around.
  std::int64_t left = 0, top = 0, right = src->Width(), bottom = src->Height();
  std::int64_t destX = x, destY = y;
  if (srcRect)
  {
    left = srcRect->left;
    top = srcRect->top;
    right = std::min<std::int64_t>(srcRect->right, right);
    bottom = std::min<std::int64_t>(srcRect->bottom, bottom);
  }
  MoveStartToZero(left, destX);
  MoveStartToZero(top, destY);
  MoveStartToZero(destX, left);
  MoveStartToZero(destY, top);
  const std::int64_t destWidth = dest->Width(), destHeight = dest->Height();
  if (left >= right || top >= bottom || destX >= destWidth || destY >= destHeight) return false;
  right = std::min(right, left + (destWidth - destX));
  bottom = std::min(bottom, top + (destHeight - destY));
  if (left >= right || top >= bottom) return false;
  area = {int(left), int(top), int(destX), int(destY), int(right - left), int(bottom - top)};
  return true;
}

// The first rows of a bitmap that fills its rows on demand, made ready for
// a blit that reads no further: the rows below stay as they are (a large
// image shown only in part is never decoded whole).
class ReadyRows final : public LICE_IBitmap
{
public:
  ReadyRows(LICE_IBitmap* src, int rows) : mSrc(src), mReady{rows, nullptr, 0}
  {
    if (src->Extended(LICE_EXT_ROWS_READY, &mReady) == 0) mReady = {0, nullptr, 0};
  }
  // The ready rows, or src itself when it fills no rows on demand.
  LICE_IBitmap* Source() { return mReady.bits ? this : mSrc; }

  LICE_pixel* Bits() override { return mReady.bits; }
  int Width() override { return mSrc->Width(); }
  int Height() override { return mReady.rows; }
  int RowSpan() override { return mReady.rowSpan; }
  bool IsFlipped() override { return false; }
  bool Resize(int, int) override { return false; }
  void* DeviceContext() override { return nullptr; }
  std::intptr_t Extended(int, void*) override { return 0; }

private:
  LICE_IBitmap* mSrc;
  LICE_RowsReady mReady;
};

template <typename PixelFn>
void ForEachBlitPixel(LICE_IBitmap* dest, LICE_IBitmap* src, const BlitArea& area, PixelFn fn)
{
  LICE_pixel* destBits = dest->Bits();
  LICE_pixel* srcBits = src->Bits();
  const int destSpan = dest->RowSpan(), srcSpan = src->RowSpan();
  for (int row = 0; row < area.height; ++row)
  {
    LICE_pixel* d = Row(dest, destBits, destSpan, area.destY + row) + area.destX;
    const LICE_pixel* s = Row(src, srcBits, srcSpan, area.srcY + row) + area.srcX;
    for (int i = 0; i < area.width; ++i)
      d[i] = fn(d[i], s[i]);
  }
}

void BlendRows(LICE_IBitmap* dest, LICE_IBitmap* src, const BlitArea& area, float weight, int mode)
{
  const int op = mode & LICE_BlendMask;
  const bool useSourceAlpha = (mode & LICE_BlendUseSourceAlpha) != 0;

  if (op >= 0xF0)
  {
    const int from = mode & 3, to = (mode >> 2) & 3;
    const LICE_pixel keep = ~(LICE_pixel(0xFF) << (8 * to));
    ForEachBlitPixel(dest, src, area,
                     [=](LICE_pixel d, LICE_pixel s)
                     { return (d & keep) | (LICE_pixel(ByteOf(s, from)) << (8 * to)); });
    return;
  }
  if (op == 0 && !useSourceAlpha && weight == 1.0f)
  {
    const int destSpan = dest->RowSpan(), srcSpan = src->RowSpan();
    for (int row = 0; row < area.height; ++row)
      std::memcpy(Row(dest, dest->Bits(), destSpan, area.destY + row) + area.destX,
                  Row(src, src->Bits(), srcSpan, area.srcY + row) + area.srcX,
                  std::size_t(area.width) * sizeof(LICE_pixel));
    return;
  }
  if (op == 0 && !useSourceAlpha && weight == 0.5f)
  {
    ForEachBlitPixel(dest, src, area,
                     [](LICE_pixel d, LICE_pixel s)
                     { return ((s >> 1) & 0x7F7F7F7Fu) + ((d >> 1) & 0x7F7F7F7Fu); });
    return;
  }

  const int w = WeightToSteps(weight);
  if (w == 0 || (op == 0 && w < 0)) return;
  if (useSourceAlpha && op == 0 && w >= 256)
  {
    // The editor's common case, a row at a time.
    const int destSpan = dest->RowSpan(), srcSpan = src->RowSpan();
    for (int row = 0; row < area.height; ++row)
      BlendSourceAlphaRow(Row(dest, dest->Bits(), destSpan, area.destY + row) + area.destX,
                          Row(src, src->Bits(), srcSpan, area.srcY + row) + area.srcX, area.width);
    return;
  }
  if (useSourceAlpha)
    ForEachBlitPixel(dest, src, area,
                     [=](LICE_pixel d, LICE_pixel s)
                     { return BlendPixelSourceAlpha(d, s, w, op); });
  else
    ForEachBlitPixel(dest, src, area,
                     [=](LICE_pixel d, LICE_pixel s) { return BlendPixel(d, s, w, op); });
}

template <typename PixelFn>
void ForEachFillPixel(LICE_IBitmap* dest, int x, int y, int width, int height, PixelFn fn)
{
  LICE_pixel* bits = dest->Bits();
  const int span = dest->RowSpan();
  for (int row = 0; row < height; ++row)
  {
    LICE_pixel* d = Row(dest, bits, span, y + row) + x;
    for (int i = 0; i < width; ++i)
      d[i] = fn(d[i]);
  }
}
} // namespace

void LICE_CopyArea(LICE_IBitmap* dest, LICE_IBitmap* src, int x, int y, const LICE_Rect* srcRect,
                   float weight, int mode)
{
  if (!dest || !src || weight == 0.0f) return;
  BlitArea area;
  if (!ClipBlit(dest, src, x, y, srcRect, area)) return;
  ReadyRows ready(src, area.srcY + area.height);
  LICE_IBitmap* source = ready.Source();
  if (!HasPixels(source) || !HasPixels(dest)) return;
  if (src == dest)
  {
    // Reading and writing the same pixels: work from a copy of the source.
    LICE_MemBitmap copy(area.width, area.height);
    if (!copy.Bits()) return;
    const BlitArea toCopy{area.srcX, area.srcY, 0, 0, area.width, area.height};
    BlendRows(&copy, source, toCopy, 1.0f, LICE_BlendCopy);
    BlendRows(dest, &copy, {0, 0, area.destX, area.destY, area.width, area.height}, weight, mode);
    return;
  }
  BlendRows(dest, source, area, weight, mode);
}

void LICE_FillArea(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel colour,
                   float weight, int mode)
{
  if (!dest) return;
  if (mode & LICE_BlendUseSourceAlpha) weight *= static_cast<float>(LICE_AlphaOf(colour)) / 255.0f;
  std::int64_t left = x, top = y, w = width, h = height;
  if (left < 0)
  {
    w += left;
    left = 0;
  }
  if (top < 0)
  {
    h += top;
    top = 0;
  }
  const int steps = WeightToSteps(weight);
  if (steps == 0 || !HasPixels(dest) || w <= 0 || h <= 0 || left >= dest->Width() ||
      top >= dest->Height())
    return;
  w = std::min<std::int64_t>(w, dest->Width() - left);
  h = std::min<std::int64_t>(h, dest->Height() - top);
  const int op = mode & LICE_BlendMask;
  const int fx = int(left), fy = int(top), fw = int(w), fh = int(h);

  if (op == 0 && steps == 256)
  {
    ForEachFillPixel(dest, fx, fy, fw, fh, [colour](LICE_pixel) { return colour; });
  }
  else if (op == 0 && steps == 128)
  {
    const LICE_pixel half = (colour >> 1) & 0x7F7F7F7Fu;
    ForEachFillPixel(dest, fx, fy, fw, fh,
                     [half](LICE_pixel d) { return half + ((d >> 1) & 0x7F7F7F7Fu); });
  }
  else if (op == 0 && (steps == 64 || steps == 192))
  {
    // A quarter and three quarters: c/4 + d/4 + (d or c)/2.
    const LICE_pixel quarter = (colour >> 2) & 0x3F3F3F3Fu;
    const LICE_pixel colourHalf = steps == 192 ? (colour >> 1) & 0x7F7F7F7Fu : 0;
    const bool keepHalf = steps == 64;
    ForEachFillPixel(dest, fx, fy, fw, fh,
                     [=](LICE_pixel d)
                     {
                       const LICE_pixel half = keepHalf ? (d >> 1) & 0x7F7F7F7Fu : colourHalf;
                       return quarter + ((d >> 2) & 0x3F3F3F3Fu) + half;
                     });
  }
  else
  {
    ForEachFillPixel(dest, fx, fy, fw, fh,
                     [=](LICE_pixel d) { return FillPixel(d, colour, steps, op); });
  }
}
