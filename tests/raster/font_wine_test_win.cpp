// windows.h first: lice_font.h then undoes its DrawText macro.
#include <windows.h>

#include "lice_font.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
bool WineKeyExists()
{
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

LICE_FontHandle Arial()
{
  const LICE_FontDescription description{"Arial", 20, 0, 700, false, 0};
  return LICE_CreatePlatformFont(description);
}
} // namespace

// Native drawing is preferred, but under Wine the glyph cache draws: the
// glyph is then cached after drawing; natively it never is.
TEST(GdiFont, WineKeyDecidesBetweenNativeAndGlyphCache)
{
  LICE_CachedFont font;
  font.SetFromPlatformFont(Arial(), LICE_FontOwnsPlatformFont | LICE_FontPreferNative);
  ASSERT_NE(font.GetPlatformFont(), nullptr);
  LICE_MemBitmap bitmap(120, 40);
  FillBitmap(bitmap, 0xFFFFFFFF);
  font.SetTextColor(0xFF000000);
  LICE_Rect rect{5, 5, 115, 35};
  EXPECT_GT(font.DrawText(&bitmap, "Kick", -1, &rect, 0), 0);
  EXPECT_EQ(font.DrawGlyph(&bitmap, 'K', 0, 0, nullptr), WineKeyExists());

  int changed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x)
      changed += (PixelAt(bitmap, x, y) & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_GT(changed, 20);
}

TEST(GdiFont, DrawsIntoADibSectionAndMeasuresThroughGdi)
{
  LICE_CachedFont font;
  font.SetFromPlatformFont(Arial(), LICE_FontOwnsPlatformFont | LICE_FontPreferNative);
  LICE_SysBitmap bitmap(160, 40);
  ASSERT_NE(bitmap.DeviceContext(), nullptr);
  FillBitmap(bitmap, 0xFFFFFFFF);
  font.SetTextColor(0xFF000000);
  LICE_Rect rect{0, 0, 160, 40};
  font.DrawText(&bitmap, "Thudwerk", -1, &rect,
                LICE_TextCenter | LICE_TextVCenter | LICE_TextSingleLine);
  int left = 1000, right = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 160; ++x)
      if ((PixelAt(bitmap, x, y) & 0xFFFFFF) != 0xFFFFFF)
      {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  ASSERT_GE(right, left);
  // Centred: the ink's margins on both sides agree within a few pixels.
  EXPECT_NEAR(left, 159 - right, 4);

  LICE_Rect measured{0, 0, 0, 0};
  EXPECT_GT(font.DrawText(nullptr, "Thudwerk", -1, &measured, LICE_TextCalcRect), 0);
  EXPECT_GT(measured.right, 40);
}

// Fonts taller than 255 pixels are always drawn by GDI itself, into a DIB
// section directly and into heap bitmaps through the scratch bitmap.
TEST(GdiFont, TallFontsDrawNativelyIntoBothKindsOfBitmap)
{
  const LICE_FontDescription description{"Arial", 300, 0, 400, false, 0};
  LICE_CachedFont font;
  font.SetFromPlatformFont(LICE_CreatePlatformFont(description), LICE_FontOwnsPlatformFont);
  ASSERT_GT(font.LineHeight(), 255);
  font.SetTextColor(0xFF000000);

  LICE_Rect measured{0, 0, 0, 0};
  EXPECT_EQ(font.DrawText(nullptr, "I", -1, &measured, LICE_TextCalcRect), font.LineHeight());
  EXPECT_EQ(measured.bottom, font.LineHeight());
  ASSERT_GT(measured.right, 0);

  LICE_SysBitmap dib(400, 400);
  LICE_MemBitmap heap(400, 400);
  for (LICE_IBitmap* bitmap : {static_cast<LICE_IBitmap*>(&dib), static_cast<LICE_IBitmap*>(&heap)})
  {
    FillBitmap(*bitmap, 0xFFFFFFFF);
    LICE_Rect rect{50, 20, 350, 380};
    EXPECT_GT(font.DrawText(bitmap, "I", -1, &rect, LICE_TextSingleLine), 0);
    int inside = 0, outside = 0;
    for (int y = 0; y < 400; ++y)
      for (int x = 0; x < 400; ++x)
        if ((PixelAt(*bitmap, x, y) & 0xFFFFFF) != 0xFFFFFF)
        {
          const bool inRect =
              x >= 50 && x < 50 + measured.right && y >= 20 && y < 20 + measured.bottom;
          (inRect ? inside : outside) += 1;
        }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
  }
  EXPECT_FALSE(font.DrawGlyph(&heap, 'I', 0, 0, nullptr)); // nothing was cached
}
