#pragma once

// The images the build embeds into raster_tests to exercise resource
// loading: ids, sizes and a pixel pattern both the generator and the tests
// compute.

#include "lice_bitmap.h"

struct FixtureImage
{
  int id;
  int width;
  int height;
};

constexpr FixtureImage kFixtureImages[] = {{101, 3, 2}, {102, 40, 120}, {103, 17, 5}};

constexpr LICE_pixel FixturePixel(int id, int x, int y)
{
  return LICE_Rgba((x * 11 + id) & 0xFF, (y * 5) & 0xFF, id & 0xFF, (x + y * 3 + 1) & 0xFF);
}
