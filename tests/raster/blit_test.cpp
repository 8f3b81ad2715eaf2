#include "lice_blit.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

namespace
{
// A source whose pixels say where they come from.
LICE_pixel Marker(int x, int y)
{
  return LICE_Rgba(x, y, 77, 255);
}

void FillMarkers(LICE_IBitmap& bitmap)
{
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      PixelAt(bitmap, x, y) = Marker(x, y);
}

constexpr LICE_pixel kUntouched = 0x01020304;
} // namespace

TEST(CopyAreaClipping, NegativeDestinationSkipsLeadingSourceColumnsAndRows)
{
  LICE_MemBitmap src(10, 6), dest(10, 6);
  FillMarkers(src);
  FillBitmap(dest, kUntouched);
  LICE_CopyArea(&dest, &src, -5, -2, nullptr, 1.0f, LICE_BlendCopy);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(PixelAt(dest, x, y), x < 5 && y < 4 ? Marker(x + 5, y + 2) : kUntouched)
          << x << "," << y;
}

TEST(CopyAreaClipping, SourceRectanglePastTheEdgeIsCut)
{
  LICE_MemBitmap src(10, 4), dest(20, 8);
  FillMarkers(src);
  FillBitmap(dest, kUntouched);
  const LICE_Rect beyond{6, 1, 100, 50};
  LICE_CopyArea(&dest, &src, 2, 3, &beyond, 1.0f, LICE_BlendCopy);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 20; ++x)
    {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 6;
      EXPECT_EQ(PixelAt(dest, x, y), inside ? Marker(x - 2 + 6, y - 3 + 1) : kUntouched)
          << x << "," << y;
    }
}

TEST(CopyAreaClipping, NegativeSourceCornerMovesTheDestination)
{
  LICE_MemBitmap src(6, 6), dest(8, 8);
  FillMarkers(src);
  FillBitmap(dest, kUntouched);
  const LICE_Rect fromOutside{-2, -1, 3, 3};
  LICE_CopyArea(&dest, &src, 0, 0, &fromOutside, 1.0f, LICE_BlendCopy);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
    {
      const bool inside = x >= 2 && x < 5 && y >= 1 && y < 4;
      EXPECT_EQ(PixelAt(dest, x, y), inside ? Marker(x - 2, y - 1) : kUntouched);
    }
}

TEST(CopyAreaClipping, NothingHappensWithoutPixelsWeightOrArea)
{
  LICE_MemBitmap src(4, 4), dest(4, 4), empty;
  FillMarkers(src);
  FillBitmap(dest, kUntouched);
  LICE_CopyArea(&dest, nullptr, 0, 0, nullptr, 1.0f, 0);
  LICE_CopyArea(nullptr, &src, 0, 0, nullptr, 1.0f, 0);
  LICE_CopyArea(&dest, &empty, 0, 0, nullptr, 1.0f, 0);
  LICE_CopyArea(&empty, &src, 0, 0, nullptr, 1.0f, 0);
  LICE_CopyArea(&dest, &src, 0, 0, nullptr, 0.0f, 0);
  LICE_CopyArea(&dest, &src, 0, 0, nullptr, 0.001f, LICE_BlendAdd); // W = 0
  const LICE_Rect inverted{3, 0, 1, 4};
  LICE_CopyArea(&dest, &src, 0, 0, &inverted, 1.0f, 0);
  LICE_CopyArea(&dest, &src, 4, 0, nullptr, 1.0f, 0);
  LICE_CopyArea(&dest, &src, 0, -4, nullptr, 1.0f, 0);
  LICE_CopyArea(&dest, &src, INT32_MIN, INT32_MAX, nullptr, 1.0f, 0);
  const LICE_Rect extreme{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  LICE_CopyArea(&dest, &src, INT32_MAX, 0, &extreme, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(PixelAt(dest, x, y), kUntouched);
}

// Whatever the rectangle and position, a destination pixel changes exactly
// when its source pixel (by the offset between the rectangle and the
// position) lies inside both the rectangle and the source, and row padding
// is never written.
TEST(CopyAreaClipping, RandomRectanglesTouchOnlyTheMappedArea)
{
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> coordinate(-20, 30);
  LICE_MemBitmap src(13, 11), dest(9, 7);
  FillMarkers(src);
  for (int round = 0; round < 400; ++round)
  {
    FillBitmap(dest, kUntouched);
    const int x = coordinate(random), y = coordinate(random);
    const LICE_Rect rect{coordinate(random), coordinate(random), coordinate(random),
                         coordinate(random)};
    const bool whole = round % 5 == 0;
    LICE_CopyArea(&dest, &src, x, y, whole ? nullptr : &rect, 1.0f, LICE_BlendCopy);
    const LICE_Rect area = whole ? LICE_Rect{0, 0, 13, 11} : rect;
    for (int dy = 0; dy < dest.Height(); ++dy)
      for (int dx = 0; dx < dest.RowSpan(); ++dx)
      {
        const int sx = dx - x + area.left, sy = dy - y + area.top;
        const bool mapped = dx < dest.Width() && sx >= std::max(area.left, 0) &&
                            sx < std::min(area.right, 13) && sy >= std::max(area.top, 0) &&
                            sy < std::min(area.bottom, 11);
        ASSERT_EQ(PixelAt(dest, dx, dy), mapped ? Marker(sx, sy) : kUntouched)
            << "round " << round << " at " << dx << "," << dy;
      }
  }
}

TEST(CopyAreaClipping, OverlappingSelfCopyReadsTheOriginal)
{
  LICE_MemBitmap bitmap(8, 8);
  FillMarkers(bitmap);
  const LICE_Rect area{0, 0, 6, 6};
  LICE_CopyArea(&bitmap, &bitmap, 2, 2, &area, 1.0f, LICE_BlendCopy);
  for (int y = 2; y < 8; ++y)
    for (int x = 2; x < 8; ++x)
      EXPECT_EQ(PixelAt(bitmap, x, y), Marker(x - 2, y - 2));
}

namespace
{
// The blend formulas, one channel at a time, written from their definitions.
int Clamp(int v)
{
  return std::min(255, std::max(0, v));
}
int RefDodge(int d, int t)
{
  return t < 255 ? std::min(255, d * 256 / (256 - t)) : std::min(255, d * 256);
}
int RefMultiply(int d, int s, int w)
{
  return ((256 - w) * 256 + w * s) * d / 65536;
}
int RefOverlay(int d, int s, int w)
{
  const int m = w * s + (256 - w) * 128;
  return std::min(255, ((32768 - m) * d / 256 + m) * d / 32768);
}

// Expected blit result for modes 0..4 with and without source alpha.
LICE_pixel ReferenceBlit(LICE_pixel dp, LICE_pixel sp, float weight, int mode)
{
  const int W = int(weight * 256);
  const int a = Channel(sp, 3), da = Channel(dp, 3);
  int out[4];
  for (int i = 0; i < 4; ++i)
  {
    const int s = Channel(sp, i), d = Channel(dp, i);
    const bool alpha = i == 3;
    const int L = W * (a + 1) / 256;
    switch (mode)
    {
    case 0:
      out[i] = W == 256 ? s : s + (d - s) * (256 - W) / 256;
      break;
    case 1:
      out[i] = std::min(255, std::max(0, d + s * W / 256));
      break;
    case 2:
      out[i] = RefDodge(d, s * W / 256);
      break;
    case 3:
      out[i] = RefMultiply(d, s, W);
      break;
    case 4:
      out[i] = RefOverlay(d, s, W);
      break;
    case 0x10000:
      if (a == 0)
        out[i] = d;
      else if (W == 256 && a == 255)
        out[i] = alpha ? 255 : s;
      else if (W == 256)
        out[i] = alpha ? std::min(255, a + da) : s + (d - s) * (255 - a) / 256;
      else
        out[i] = alpha ? std::min(255, L + da) : s + (d - s) * (256 - L) / 256;
      break;
    case 0x10001:
      out[i] = a == 0  ? d
               : alpha ? std::min(255, da + a * L / 256)
                       : std::min(255, d + L * s / 256);
      break;
    case 0x10002:
      out[i] = a == 0 ? d : RefDodge(d, L * s / 256);
      break;
    case 0x10003:
      out[i] = a == 0 ? d : RefMultiply(d, s, L);
      break;
    case 0x10004:
      out[i] = a == 0 ? d : RefOverlay(d, s, L);
      break;
    }
    out[i] = Clamp(out[i]);
  }
  return LICE_Rgba(out[2], out[1], out[0], out[3]);
}

// Pixel pairs with the edge values of every channel plus random ones.
void MakePairs(LICE_MemBitmap& src, LICE_MemBitmap& dest)
{
  const int edges[] = {0, 1, 127, 128, 129, 200, 254, 255};
  std::mt19937 random(7);
  int x = 0;
  for (int s : edges)
    for (int d : edges)
    {
      PixelAt(src, x, 0) = LICE_Rgba(s, 255 - s, d, s);
      PixelAt(dest, x, 0) = LICE_Rgba(d, s, 255 - d, d);
      ++x;
    }
  for (; x < src.Width(); ++x)
  {
    PixelAt(src, x, 0) = random();
    PixelAt(dest, x, 0) = random();
  }
}
} // namespace

class BlitModes : public ::testing::TestWithParam<int>
{
};

TEST_P(BlitModes, MatchTheWrittenFormulas)
{
  const int mode = GetParam();
  for (float weight : {1.0f, 0.75f, 0.5f, 0.3f, 0.05f})
  {
    LICE_MemBitmap src(256, 1), dest(256, 1), original(256, 1);
    MakePairs(src, dest);
    MakePairs(src, original);
    LICE_CopyArea(&dest, &src, 0, 0, nullptr, weight, mode);
    for (int x = 0; x < 256; ++x)
    {
      const LICE_pixel s = PixelAt(src, x, 0), d = PixelAt(original, x, 0);
      LICE_pixel expected = ReferenceBlit(d, s, weight, mode);
      if (mode == 0 && weight == 0.5f) // the average of the fast path
        for (int i = 0; i < 4; ++i)
          expected = (expected & ~(0xFFu << (8 * i))) |
                     LICE_pixel((Channel(s, i) >> 1) + (Channel(d, i) >> 1)) << (8 * i);
      ASSERT_EQ(PixelAt(dest, x, 0), expected)
          << std::hex << "mode " << mode << " weight " << weight << " s " << s << " d " << d;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllModes, BlitModes,
                         ::testing::Values(0, 1, 2, 3, 4, 0x10000, 0x10001, 0x10002, 0x10003,
                                           0x10004));

TEST(BlitModes, WeightsAboveOneFollowTheFormulas)
{
  // Only a weight of exactly one copies in mode 0; above it the source is
  // pushed past, as the formula says.
  for (int mode : {0, 1, 2, 3, 4})
    for (float weight : {1.5f, 2.0f})
    {
      LICE_MemBitmap src(256, 1), dest(256, 1), original(256, 1);
      MakePairs(src, dest);
      MakePairs(src, original);
      LICE_CopyArea(&dest, &src, 0, 0, nullptr, weight, mode);
      for (int x = 0; x < 256; ++x)
        ASSERT_EQ(PixelAt(dest, x, 0),
                  ReferenceBlit(PixelAt(original, x, 0), PixelAt(src, x, 0), weight, mode))
            << "mode " << mode << " weight " << weight << " at " << x;
    }
}

TEST(BlitModes, SourceAlphaAtFullWeightReplacesOpaqueAndKeepsTransparent)
{
  LICE_MemBitmap src(2, 1), dest(2, 1);
  PixelAt(src, 0, 0) = 0x00FF0000; // transparent red
  PixelAt(src, 1, 0) = 0xFF00FF00; // opaque green
  PixelAt(dest, 0, 0) = PixelAt(dest, 1, 0) = 0x40112233;
  LICE_CopyArea(&dest, &src, 0, 0, nullptr, 1.0f, LICE_BlendUseSourceAlpha);
  EXPECT_EQ(PixelAt(dest, 0, 0), 0x40112233u);
  EXPECT_EQ(PixelAt(dest, 1, 0), 0xFF00FF00u);
}

// The editor's blit goes four pixels at a time: random pixels in runs of
// opaque, transparent and soft sources, at every alignment of row start and
// width, must give the formula's result everywhere, and nothing outside.
TEST(BlitModes, SourceAlphaFastPathMatchesTheFormulaOnRandomPixels)
{
  std::mt19937 random(2024);
  for (int width = 1; width <= 19; ++width)
  {
    LICE_MemBitmap src(width, 33), dest(width + 6, 33), original(width + 6, 33);
    for (int y = 0; y < 33; ++y)
    {
      for (int x = 0; x < width; ++x)
      {
        // Row by row: mostly opaque, mostly transparent, or anything.
        const unsigned kind = (y % 3 == 2) ? 2 : random() % 3;
        const LICE_pixel alpha = kind == 0 ? 255 : (kind == 1 ? 0 : random() & 0xFF);
        PixelAt(src, x, y) = (alpha << 24) | (random() & 0xFFFFFF);
      }
      for (int x = 0; x < width + 6; ++x)
        PixelAt(dest, x, y) = PixelAt(original, x, y) = random();
    }
    const int offset = width % 4;
    LICE_CopyArea(&dest, &src, offset, 0, nullptr, 1.0f, LICE_BlendUseSourceAlpha);
    for (int y = 0; y < 33; ++y)
      for (int x = 0; x < width + 6; ++x)
      {
        const bool inside = x >= offset && x < offset + width;
        const LICE_pixel expected =
            inside ? ReferenceBlit(PixelAt(original, x, y), PixelAt(src, x - offset, y), 1.0f,
                                   LICE_BlendUseSourceAlpha)
                   : PixelAt(original, x, y);
        ASSERT_EQ(PixelAt(dest, x, y), expected) << "width " << width << " at " << x << "," << y;
      }
  }
}

TEST(BlitModes, ChannelCopyMovesOneByte)
{
  LICE_MemBitmap src(1, 1), dest(1, 1);
  PixelAt(src, 0, 0) = LICE_Rgba(0xAB, 0x11, 0x22, 0x33);
  PixelAt(dest, 0, 0) = LICE_Rgba(1, 2, 3, 4);
  LICE_CopyArea(&dest, &src, 0, 0, nullptr, 1.0f, LICE_BlendChannelCopy(2, 3)); // red to alpha
  EXPECT_EQ(PixelAt(dest, 0, 0), LICE_Rgba(1, 2, 3, 0xAB));
  LICE_CopyArea(&dest, &src, 0, 0, nullptr, 0.3f, LICE_BlendChannelCopy(0, 1)); // blue to green
  EXPECT_EQ(PixelAt(dest, 0, 0), LICE_Rgba(1, 0x22, 3, 0xAB));
}

TEST(BlitModes, HueSaturationValueAdjust)
{
  std::mt19937 random(99);
  LICE_MemBitmap src(64, 1), dest(64, 1), original(64, 1);
  for (int x = 0; x < 64; ++x)
  {
    PixelAt(dest, x, 0) = PixelAt(original, x, 0) = random();
    PixelAt(src, x, 0) = LICE_Rgba(128, 128, 128, x * 4); // neutral shift
  }
  LICE_CopyArea(&dest, &src, 0, 0, nullptr, 1.0f, LICE_BlendHsvAdjust);
  for (int x = 0; x < 64; ++x)
  {
    for (int i = 0; i < 3; ++i) // conversions round, but a neutral shift stays close
      EXPECT_NEAR(Channel(PixelAt(dest, x, 0), i), Channel(PixelAt(original, x, 0), i), 4);
    EXPECT_EQ(Channel(PixelAt(dest, x, 0), 3), x * 4); // alpha from the source
  }

  // Full value shift: the brightest channel of a coloured pixel reaches 255;
  // greys stay grey whatever the hue shift.
  LICE_MemBitmap brighter(2, 1), shift(2, 1);
  PixelAt(brighter, 0, 0) = LICE_Rgba(100, 50, 20, 255);
  PixelAt(brighter, 1, 0) = LICE_Rgba(90, 90, 90, 255);
  PixelAt(shift, 0, 0) = PixelAt(shift, 1, 0) = LICE_Rgba(255, 128, 255, 255);
  LICE_CopyArea(&brighter, &shift, 0, 0, nullptr, 1.0f, LICE_BlendHsvAdjust);
  const LICE_pixel coloured = PixelAt(brighter, 0, 0);
  EXPECT_EQ(std::max({LICE_RedOf(coloured), LICE_GreenOf(coloured), LICE_BlueOf(coloured)}), 255);
  const LICE_pixel grey = PixelAt(brighter, 1, 0);
  EXPECT_EQ(LICE_RedOf(grey), LICE_GreenOf(grey));
  EXPECT_EQ(LICE_GreenOf(grey), LICE_BlueOf(grey));
  EXPECT_EQ(LICE_RedOf(grey), 255);
}
