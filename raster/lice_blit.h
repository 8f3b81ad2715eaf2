#pragma once

#include "lice_bitmap.h"

// Blend modes of LICE_CopyArea and LICE_FillArea. The low byte selects the
// operation; LICE_BlendUseSourceAlpha scales the weight per pixel by the
// source's alpha (for a fill, by the colour's alpha).
enum LICE_BlendMode : int
{
  LICE_BlendCopy = 0,
  LICE_BlendAdd = 1,
  LICE_BlendDodge = 2,
  LICE_BlendMultiply = 3,
  LICE_BlendOverlay = 4,
  LICE_BlendHsvAdjust = 5,
  LICE_BlendMask = 0xFF,
  LICE_BlendUseSourceAlpha = 0x10000,
};

// Channel copy: destination byte `to` (0 blue .. 3 alpha) takes source byte
// `from`; weight is ignored apart from 0 meaning "do nothing".
constexpr int LICE_BlendChannelCopy(int from, int to)
{
  return 0xF0 | ((to & 3) << 2) | (from & 3);
}

// Blends the source rectangle (the whole source when null) onto dest at
// (x, y) with weight (1.0 full) and mode. Everything is clipped to both
// bitmaps; null or empty bitmaps, a zero weight or an empty rectangle draw
// nothing. A source overlapping itself as destination is read as it was
// before the call. Weights are limited to [-16, 16].
void LICE_CopyArea(LICE_IBitmap* dest, LICE_IBitmap* src, int x, int y, const LICE_Rect* srcRect,
                   float weight, int mode);

// Blends the packed colour over the rectangle (x, y, width, height) of dest,
// clipped to the bitmap, with the same weights and modes as LICE_CopyArea.
void LICE_FillArea(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel colour,
                   float weight, int mode);
