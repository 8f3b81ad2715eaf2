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
