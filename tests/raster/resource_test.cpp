#include "fixture_images.h"
#include "lice_png.h"
#include "raster_test_support.h"
#include "resource_test_module.h"

#include <gtest/gtest.h>

#include <memory>

TEST(PngResource, LoadsEveryEmbeddedImageById)
{
  for (const FixtureImage& image : kFixtureImages)
  {
    std::unique_ptr<LICE_IBitmap> bitmap(LoadPngResource(TestImageModule(), image.id));
    ASSERT_TRUE(bitmap) << image.id;
    ASSERT_EQ(bitmap->Width(), image.width);
    ASSERT_EQ(bitmap->Height(), image.height);
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x)
        ASSERT_EQ(PixelAt(*bitmap, x, y), FixturePixel(image.id, x, y)) << image.id;
  }
}

TEST(PngResource, UnknownIdsGiveNull)
{
  EXPECT_EQ(LoadPngResource(TestImageModule(), 100), nullptr);
  EXPECT_EQ(LoadPngResource(TestImageModule(), 104), nullptr);
  // Only the low 16 bits name a resource; 65536 + 101 is not 101's twin
  // in a table, and under Windows it reads as 101.
  std::unique_ptr<LICE_IBitmap> wrapped(LoadPngResource(TestImageModule(), 0x10000 + 101));
  EXPECT_EQ(wrapped != nullptr, ResourceIdsWrapAt16Bits());
}
