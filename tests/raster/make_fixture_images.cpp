// Writes the fixture PNGs into the current directory; the build embeds them.

#include "fixture_images.h"
#include "lice_png.h"

#include <cstdio>
#include <string>

int main()
{
  for (const FixtureImage& image : kFixtureImages)
  {
    LICE_MemBitmap bitmap(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x)
        bitmap.Bits()[y * bitmap.RowSpan() + x] = FixturePixel(image.id, x, y);
    const std::string name = "fixture_" + std::to_string(image.id) + ".png";
    if (!SavePng(&bitmap, name.c_str()))
    {
      std::fprintf(stderr, "cannot write %s\n", name.c_str());
      return 1;
    }
  }
  return 0;
}
