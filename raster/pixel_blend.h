#pragma once

// Per-pixel kernels shared by the blit, the fill and glyph drawing. W is a
// weight in 1/256 steps (256 = full); s or c is the source or colour pixel,
// d the destination pixel.

#include "lice_bitmap.h"

namespace lice_blend
{
inline int Clamp255(int v)
{
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Converts a float weight to 1/256 steps, limited to [-16, 16] so that no
// kernel overflows; NaN counts as 0.
inline int WeightToSteps(float weight)
{
  if (!(weight == weight)) return 0;
  if (weight > 16.0f) weight = 16.0f;
  if (weight < -16.0f) weight = -16.0f;
  return static_cast<int>(weight * 256.0f);
}

inline int ByteOf(LICE_pixel p, int index)
{
  return static_cast<int>((p >> (8 * index)) & 0xFF);
}

// Applies fn(channel byte of d, channel byte of s, index) to all four bytes.
template <typename Fn>
inline LICE_pixel PerByte(LICE_pixel d, LICE_pixel s, Fn fn)
{
  LICE_pixel out = 0;
  for (int i = 0; i < 4; ++i)
    out |= static_cast<LICE_pixel>(Clamp255(fn(ByteOf(d, i), ByteOf(s, i)))) << (8 * i);
  return out;
}

// Same for blue, green and red; alpha is given.
template <typename Fn>
inline LICE_pixel PerColourByte(LICE_pixel d, LICE_pixel s, int alpha, Fn fn)
{
  LICE_pixel out = static_cast<LICE_pixel>(Clamp255(alpha)) << 24;
  for (int i = 0; i < 3; ++i)
    out |= static_cast<LICE_pixel>(Clamp255(fn(ByteOf(d, i), ByteOf(s, i)))) << (8 * i);
  return out;
}

inline int Mix(int d, int s, int keep)
{
  return s + (d - s) * keep / 256;
}
inline int Add(int d, int s, int w)
{
  return d + s * w / 256;
}
inline int Dodge(int d, int t)
{
  return t < 255 ? d * 256 / (256 - t) : d * 256;
}
inline int Multiply(int d, int s, int w)
{
  return ((256 - w) * 256 + w * s) * d / 65536;
}
inline int Overlay(int d, int s, int w)
{
  const int m = w * s + (256 - w) * 128;
  return ((32768 - m) * d / 256 + m) * d / 32768;
}

// Shifts the hue, saturation and value of d by the source's red, green and
// blue (128 = no change) scaled by w; alpha comes from the source.
LICE_pixel HsvAdjust(LICE_pixel d, LICE_pixel s, int w);

// Modes 0..5 without the source-alpha bit (blit table, all four bytes).
inline LICE_pixel BlendPixel(LICE_pixel d, LICE_pixel s, int w, int op)
{
  switch (op)
  {
  case 0:
    return w == 256 ? s : PerByte(d, s, [w](int db, int sb) { return Mix(db, sb, 256 - w); });
  case 1:
    return PerByte(d, s, [w](int db, int sb) { return Add(db, sb, w); });
  case 2:
    return PerByte(d, s, [w](int db, int sb) { return Dodge(db, sb * w / 256); });
  case 3:
    return PerByte(d, s, [w](int db, int sb) { return Multiply(db, sb, w); });
  case 4:
    return PerByte(d, s, [w](int db, int sb) { return Overlay(db, sb, w); });
  case 5:
    return HsvAdjust(d, s, w);
  default:
    return d;
  }
}

// Modes 0..5 with the source-alpha bit: the weight becomes
// L = w * (alpha + 1) / 256. Fully transparent source pixels are skipped.
inline LICE_pixel BlendPixelSourceAlpha(LICE_pixel d, LICE_pixel s, int w, int op)
{
  const int a = LICE_AlphaOf(s);
  if (a == 0) return d;
  const int da = LICE_AlphaOf(d);
  if (op == 0 && w >= 256)
  {
    if (a == 255) return s | 0xFF000000u;
    return PerColourByte(d, s, a + da,
                         [a](int db, int sb) { return sb + (db - sb) * (255 - a) / 256; });
  }
  const int l = w * (a + 1) / 256;
  switch (op)
  {
  case 0:
    return PerColourByte(d, s, l + da, [l](int db, int sb) { return Mix(db, sb, 256 - l); });
  case 1:
    return PerColourByte(d, s, da + a * l / 256, [l](int db, int sb) { return Add(db, sb, l); });
  case 2:
    return PerColourByte(d, s, Dodge(da, l * a / 256),
                         [l](int db, int sb) { return Dodge(db, l * sb / 256); });
  case 3:
    return PerByte(d, s, [l](int db, int sb) { return Multiply(db, sb, l); });
  case 4:
    return PerByte(d, s, [l](int db, int sb) { return Overlay(db, sb, l); });
  case 5:
    return HsvAdjust(d, s, l);
  default:
    return d;
  }
}

// Fill kernels for modes 0..5 with W in 1/256 steps (the colour c acts as
// the source; modes 0, 1 and 2 derive alpha from W itself).
inline LICE_pixel FillPixel(LICE_pixel d, LICE_pixel c, int w, int op)
{
  const int da = LICE_AlphaOf(d);
  switch (op)
  {
  case 0:
    if (w == 256) return c;
    if (w < 1) return d;
    return PerColourByte(d, c, w + (da - w) * (256 - w) / 256,
                         [w](int db, int cb) { return (db - cb) * (256 - w) / 256 + cb; });
  case 1:
    return PerColourByte(d, c, da + w * w / 256, [w](int db, int cb) { return Add(db, cb, w); });
  case 2:
    return PerColourByte(d, c, Dodge(da, w * w / 256),
                         [w](int db, int cb) { return Dodge(db, cb * w / 256); });
  case 3:
  case 4:
  case 5:
    return BlendPixel(d, c, w, op);
  default:
    return d;
  }
}
} // namespace lice_blend
