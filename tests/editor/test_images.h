#pragma once

#include "lice_bitmap.h"

// The test images, built into the test programs as PNG resources (a
// resource script on Windows, a table read from the image folder elsewhere).
//
// strip.png (id 201): 4 x 12, three vertically stacked 4 x 4 frames, frame k
// filled with the opaque colour kStripColors[k - 1].
// background.png (id 202): 40 x 40, opaque, pixel (x, y) = red 5x, green 5y,
// blue 100.
// badge.png (id 203): 6 x 6, columns 0-2 fully transparent, columns 3-5
// opaque yellow.
constexpr int kStripId = 201;
constexpr int kBackgroundId = 202;
constexpr int kBadgeId = 203;
constexpr int kMissingId = 299;

constexpr LICE_pixel kStripColors[3] = {LICE_Rgba(200, 0, 0, 255), LICE_Rgba(0, 200, 0, 255),
                                        LICE_Rgba(0, 0, 200, 255)};
constexpr LICE_pixel BackgroundPixel(int x, int y)
{
  return LICE_Rgba(5 * x, 5 * y, 100, 255);
}
constexpr LICE_pixel kBadgeColor = LICE_Rgba(255, 255, 0, 255);

// What the editor's SetModuleInstance / SetHInstance takes to find them.
void* TestImageModule();

// The pixel at (x, y) of a bitmap.
inline LICE_pixel PixelAt(LICE_IBitmap* bitmap, int x, int y)
{
  return bitmap->Bits()[y * bitmap->RowSpan() + x];
}
