#include "lice_bitmap.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(MemBitmap, StartsEmptyWithoutPositiveSize)
{
  LICE_MemBitmap empty;
  EXPECT_EQ(empty.Bits(), nullptr);
  EXPECT_EQ(empty.Width(), 0);
  EXPECT_EQ(empty.Height(), 0);
  LICE_MemBitmap halfSized(10, 0);
  EXPECT_EQ(halfSized.Bits(), nullptr);
  EXPECT_EQ(halfSized.DeviceContext(), nullptr);
  EXPECT_FALSE(halfSized.IsFlipped());
  EXPECT_EQ(halfSized.Extended(0x59555678, nullptr), 0);
}

TEST(MemBitmap, RowsAreAlignedAndSpansAreMultiplesOfFour)
{
  for (int width = 1; width <= 9; ++width)
  {
    LICE_MemBitmap bitmap(width, 3);
    ASSERT_NE(bitmap.Bits(), nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bitmap.Bits()) % 64, 0u) << width;
    EXPECT_EQ(bitmap.RowSpan() % 4, 0) << width;
    EXPECT_GE(bitmap.RowSpan(), width);
    EXPECT_LT(bitmap.RowSpan(), width + 4);
  }
  // The knob strips: 40 pixels wide need no padding.
  LICE_MemBitmap strip(40, 3960);
  EXPECT_EQ(strip.RowSpan(), 40);
}

TEST(MemBitmap, ResizeReportsChangesAndGrowsByAQuarter)
{
  LICE_MemBitmap bitmap(8, 8);
  EXPECT_EQ(bitmap.AllocatedBytes(), 8u * 8 * 4);
  EXPECT_FALSE(bitmap.Resize(8, 8));

  // Smaller: the buffer stays as it is.
  EXPECT_TRUE(bitmap.Resize(4, 4));
  EXPECT_EQ(bitmap.AllocatedBytes(), 8u * 8 * 4);
  EXPECT_EQ(bitmap.Width(), 4);

  // Larger than the buffer: grown to 5/4 of the request.
  EXPECT_TRUE(bitmap.Resize(16, 16));
  EXPECT_EQ(bitmap.AllocatedBytes(), 16u * 16 * 4 * 5 / 4);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bitmap.Bits()) % 64, 0u);
  PixelAt(bitmap, 15, 15) = 0x12345678; // the whole area is writable
  EXPECT_EQ(PixelAt(bitmap, 15, 15), 0x12345678u);

  // Slightly larger again fits the grown buffer.
  EXPECT_TRUE(bitmap.Resize(16, 20));
  EXPECT_EQ(bitmap.AllocatedBytes(), 16u * 16 * 4 * 5 / 4);
}

TEST(MemBitmap, ResizeToNothingFreesTheBuffer)
{
  LICE_MemBitmap bitmap(20, 10);
  EXPECT_TRUE(bitmap.Resize(0, 0));
  EXPECT_EQ(bitmap.Bits(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
  EXPECT_EQ(bitmap.AllocatedBytes(), 0u);
}

TEST(MemBitmap, NegativeSizesNeverAllocate)
{
  // Two negative sides would multiply into a positive byte count.
  LICE_MemBitmap bitmap(4, 4);
  EXPECT_TRUE(bitmap.Resize(-8, -8));
  EXPECT_EQ(bitmap.Bits(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
}

TEST(SysBitmap, KeepsItsStorageWhenShrinking)
{
  LICE_SysBitmap bitmap(10, 10);
  ASSERT_NE(bitmap.Bits(), nullptr);
  EXPECT_EQ(bitmap.RowSpan(), 12);
  EXPECT_FALSE(bitmap.IsFlipped());
  EXPECT_EQ(bitmap.Extended(0x59555678, nullptr), 0);
  LICE_pixel* before = bitmap.Bits();
  EXPECT_TRUE(bitmap.Resize(5, 7));
  EXPECT_EQ(bitmap.Bits(), before);
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.Height(), 7);
  EXPECT_EQ(bitmap.RowSpan(), 12);
  EXPECT_FALSE(bitmap.Resize(5, 7));

  EXPECT_TRUE(bitmap.Resize(21, 3));
  ASSERT_NE(bitmap.Bits(), nullptr);
  EXPECT_EQ(bitmap.RowSpan(), 24);
  PixelAt(bitmap, 20, 2) = 0xFF00FF00;
  EXPECT_EQ(PixelAt(bitmap, 20, 2), 0xFF00FF00u);
}

TEST(SysBitmap, EmptySizeLeavesNoPixels)
{
  LICE_SysBitmap bitmap(0, 0);
  EXPECT_EQ(bitmap.Bits(), nullptr);
  LICE_SysBitmap flat(6, -2);
  EXPECT_EQ(flat.Bits(), nullptr);
  // Shrinking to nothing keeps the storage but leaves nothing to draw on.
  LICE_SysBitmap resized(8, 8);
  EXPECT_TRUE(resized.Resize(0, 8));
  EXPECT_EQ(resized.Width(), 0);
}
