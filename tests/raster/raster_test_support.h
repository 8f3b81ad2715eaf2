#pragma once

#include "lice_bitmap.h"

#include <cstdint>
#include <random>

inline LICE_pixel& PixelAt(LICE_IBitmap& bitmap, int x, int y)
{
  return bitmap.Bits()[std::size_t(y) * bitmap.RowSpan() + x];
}

inline void FillBitmap(LICE_IBitmap& bitmap, LICE_pixel value)
{
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.RowSpan(); ++x)
      PixelAt(bitmap, x, y) = value;
}

// Every pixel, the row padding included, from a fixed-seed generator.
inline void FillRandom(LICE_IBitmap& bitmap, std::uint32_t seed)
{
  std::mt19937 random(seed);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.RowSpan(); ++x)
      PixelAt(bitmap, x, y) = random();
}

inline int Channel(LICE_pixel p, int index)
{
  return int((p >> (8 * index)) & 0xFF);
}
