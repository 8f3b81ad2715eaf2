#include "resource_test_module.h"

#include "embedded_png.h"
#include "lice_png.h"
#include "raster_test_images.h"

#include <gtest/gtest.h>

const void* TestImageModule()
{
  return &raster_test_images;
}
bool ResourceIdsWrapAt16Bits()
{
  return false;
}

TEST(EmbeddedPngTable, LooksUpEntriesAndRejectsShortOnes)
{
  static const unsigned char shortBytes[] = {0x89, 'P', 'N', 'G'};
  static const EmbeddedPng entries[] = {{5, shortBytes, sizeof shortBytes}, {6, nullptr, 0}};
  const EmbeddedPngTable table{entries, 2};
  EXPECT_EQ(FindEmbeddedPng(&table, 5), &entries[0]);
  EXPECT_EQ(FindEmbeddedPng(&table, 7), nullptr);
  EXPECT_EQ(FindEmbeddedPng(nullptr, 5), nullptr);
  EXPECT_EQ(LoadPngResource(&table, 5), nullptr);
  EXPECT_EQ(LoadPngResource(&table, 6), nullptr);
  EXPECT_EQ(LoadPngResource(nullptr, 101), nullptr);
  EXPECT_EQ(raster_test_images.count, 3u);
}
