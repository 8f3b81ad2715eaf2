#include "lice_blit.h"
#include "lice_font.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{
constexpr LICE_pixel kWhite = 0xFFFFFFFF;
constexpr LICE_pixel kBlack = 0xFF000000;

// Arial, bold, 20 pixels: the preset name's face. Wine and Linux may
// substitute a metric-compatible face, so the tests assert properties.
class FontTest : public ::testing::Test
{
protected:
  void SetUp() override { Use(0); }

  void Use(int flags, int height = 20)
  {
    const LICE_FontDescription description{"Arial", height, 0, 700, false, 0};
    LICE_FontHandle handle = LICE_CreatePlatformFont(description);
    ASSERT_NE(handle, nullptr);
    font.SetFromPlatformFont(handle, flags | LICE_FontOwnsPlatformFont);
  }

  LICE_Rect Measure(const char* text, int length = -1, unsigned flags = 0)
  {
    LICE_Rect rect{0, 0, 0, 0};
    font.DrawText(nullptr, text, length, &rect, flags | LICE_TextCalcRect);
    return rect;
  }
  int Width(const char* text, int length = -1, unsigned flags = LICE_TextSingleLine)
  {
    return Measure(text, length, flags).right;
  }

  // The bounding box of pixels that differ from the background.
  struct Box
  {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
  };
  static Box Changed(LICE_IBitmap& bitmap, LICE_pixel background)
  {
    Box box;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (PixelAt(bitmap, x, y) != background)
        {
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x + 1);
          box.bottom = std::max(box.bottom, y + 1);
          ++box.count;
        }
    return box;
  }

  LICE_CachedFont font;
  LICE_MemBitmap canvas{200, 80};
};
} // namespace

TEST_F(FontTest, LineHeightIsTheCellHeight)
{
  EXPECT_GE(font.LineHeight(), 19);
  EXPECT_LE(font.LineHeight(), 22);
  EXPECT_NE(font.GetPlatformFont(), nullptr);
}

TEST_F(FontTest, MeasuringAddsAdvances)
{
  const LICE_Rect hello = Measure("Hello");
  EXPECT_GT(hello.right, 20);
  EXPECT_EQ(hello.bottom, font.LineHeight());
  EXPECT_EQ(Width("HelloHello"), 2 * hello.right);
  EXPECT_EQ(Width("Hello", 3), Width("Hel"));
  EXPECT_GT(Width("WWW"), Width("iii"));

  LICE_Rect offset{7, 9, 7, 9};
  const int height = font.DrawText(nullptr, "Hello", -1, &offset, LICE_TextCalcRect);
  EXPECT_EQ(height, font.LineHeight());
  EXPECT_EQ(offset.right, 7 + hello.right);
  EXPECT_EQ(offset.bottom, 9 + font.LineHeight());
}

TEST_F(FontTest, LineFeedsStartLinesUnlessSingleLine)
{
  const LICE_Rect twoLines = Measure("ab\nWWW", -1, 0);
  EXPECT_EQ(twoLines.bottom, 2 * font.LineHeight());
  EXPECT_EQ(twoLines.right, Width("WWW"));
  font.SetLineSpacing(5);
  EXPECT_EQ(Measure("ab\nWWW", -1, 0).bottom, 2 * font.LineHeight() + 5);
  font.SetLineSpacing(0);

  // Single line: the carriage return is skipped, the line feed is a space.
  EXPECT_EQ(Width("a\r\nb"), Width("a b"));
  EXPECT_EQ(Measure("a\r\nb", -1, LICE_TextSingleLine).bottom, font.LineHeight());
}

TEST_F(FontTest, DecodesTextWithTheLenientRules)
{
  EXPECT_EQ(Width("a\xF0\x9F\x98\x80"
                  "b"),
            Width("a b"));
  // 0xC0 0x80 is two Latin-1 characters, the same as their proper encoding.
  EXPECT_EQ(Width("\xC0\x80"), Width("\xC3\x80\xC2\x80"));
  EXPECT_EQ(Width("\xC3\xA9t\xC3\xA9"), Width("\xC3\xA9") * 2 + Width("t"));
}

TEST_F(FontTest, DrawsInsideItsRectangle)
{
  FillBitmap(canvas, kWhite);
  font.SetTextColor(kBlack);
  LICE_Rect rect{30, 20, 190, 70};
  const int height = font.DrawText(&canvas, "Hg", -1, &rect, 0);
  EXPECT_EQ(height, font.LineHeight());
  const Box box = Changed(canvas, kWhite);
  ASSERT_GT(box.count, 20);
  EXPECT_GE(box.left, 30);
  EXPECT_GE(box.top, 20);
  EXPECT_LE(box.right, 30 + Width("Hg") + 2);
  EXPECT_LE(box.bottom, 20 + font.LineHeight());
  // Solid stems are fully covered: exactly the text colour.
  int exact = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      exact += PixelAt(canvas, x, y) == kBlack;
  EXPECT_GT(exact, 10);
}

TEST_F(FontTest, AlignmentFlagsPlaceTheText)
{
  const LICE_Rect rect{20, 10, 180, 70};
  const int width = Width("HH");
  auto boxFor = [&](unsigned flags)
  {
    FillBitmap(canvas, kWhite);
    LICE_Rect r = rect;
    font.DrawText(&canvas, "HH", -1, &r, flags);
    return Changed(canvas, kWhite);
  };
  const Box left = boxFor(LICE_TextLeft);
  const Box centre = boxFor(LICE_TextCenter);
  const Box right = boxFor(LICE_TextRight);
  const Box middle = boxFor(LICE_TextVCenter);
  const Box bottom = boxFor(LICE_TextBottom);
  ASSERT_GT(left.count, 0);
  EXPECT_EQ(centre.left - left.left, (160 - width) / 2);
  EXPECT_EQ(right.left - left.left, 160 - width);
  EXPECT_EQ(middle.top - left.top, (60 - font.LineHeight()) / 2);
  EXPECT_EQ(bottom.top - left.top, 60 - font.LineHeight());
  EXPECT_LE(bottom.bottom, 70);
}

TEST_F(FontTest, ClipsToTheRectangleUnlessToldNotTo)
{
  FillBitmap(canvas, kWhite);
  LICE_Rect narrow{10, 10, 18, 20}; // smaller than the text
  font.DrawText(&canvas, "WWW", -1, &narrow, 0);
  const Box clipped = Changed(canvas, kWhite);
  ASSERT_GT(clipped.count, 0);
  EXPECT_GE(clipped.left, 10);
  EXPECT_LE(clipped.right, 18);
  EXPECT_LE(clipped.bottom, 20);

  FillBitmap(canvas, kWhite);
  font.DrawText(&canvas, "WWW", -1, &narrow, LICE_TextNoClip);
  EXPECT_GT(Changed(canvas, kWhite).right, 18);

  // Text that would start beyond the bitmap draws nothing.
  FillBitmap(canvas, kWhite);
  LICE_Rect outside{300, 10, 400, 40};
  font.DrawText(&canvas, "WWW", -1, &outside, LICE_TextNoClip);
  EXPECT_EQ(Changed(canvas, kWhite).count, 0);
}

TEST_F(FontTest, OpacityScalesTheText)
{
  FillBitmap(canvas, kWhite);
  LICE_Rect rect{10, 10, 190, 70};
  font.SetBlendMode(0, 0.0f);
  EXPECT_EQ(font.DrawText(&canvas, "H", -1, &rect, 0), 0);
  EXPECT_EQ(Changed(canvas, kWhite).count, 0);

  // Half opacity keeps at least half of the white beneath.
  font.SetBlendMode(0, 0.5f);
  font.DrawText(&canvas, "H", -1, &rect, 0);
  const Box half = Changed(canvas, kWhite);
  ASSERT_GT(half.count, 0);
  for (int y = half.top; y < half.bottom; ++y)
    for (int x = half.left; x < half.right; ++x)
      EXPECT_GE(LICE_RedOf(PixelAt(canvas, x, y)), 127);

  // The text colour's alpha scales the opacity only when asked to.
  font.SetBlendMode(0, 1.0f);
  font.SetTextColor(0x00000000);
  FillBitmap(canvas, kWhite);
  EXPECT_EQ(font.DrawText(&canvas, "H", -1, &rect, LICE_TextUseForegroundAlpha), 0);
  EXPECT_EQ(Changed(canvas, kWhite).count, 0);
  font.DrawText(&canvas, "H", -1, &rect, 0);
  EXPECT_GT(Changed(canvas, kWhite).count, 0);
}

TEST_F(FontTest, NothingWithoutABitmapExceptMeasuring)
{
  LICE_Rect rect{0, 0, 100, 100};
  EXPECT_EQ(font.DrawText(nullptr, "H", -1, &rect, 0), 0);
  EXPECT_EQ(font.DrawText(&canvas, nullptr, -1, &rect, 0), 0);
  EXPECT_EQ(font.DrawText(&canvas, "H", -1, nullptr, 0), 0);
  LICE_MemBitmap empty;
  EXPECT_EQ(font.DrawText(&empty, "H", -1, &rect, 0), 0);
}

TEST_F(FontTest, GlyphsAreCachedOnFirstUse)
{
  EXPECT_FALSE(font.DrawGlyph(&canvas, 'K', 0, 0, nullptr));
  EXPECT_FALSE(font.DrawGlyph(&canvas, 0xE9, 0, 0, nullptr));
  LICE_Rect rect{0, 0, 100, 40};
  font.DrawText(&canvas, "K\xC3\xA9", -1, &rect, 0);
  EXPECT_TRUE(font.DrawGlyph(&canvas, 'K', 0, 0, nullptr));
  EXPECT_TRUE(font.DrawGlyph(&canvas, 0xE9, 50, 0, nullptr));
  // Entirely outside the clip rectangle or the bitmap: nothing to draw.
  const LICE_Rect clip{100, 0, 120, 20};
  EXPECT_FALSE(font.DrawGlyph(&canvas, 'K', 0, 0, &clip));
  EXPECT_FALSE(font.DrawGlyph(&canvas, 'K', 500, 0, nullptr));
  EXPECT_FALSE(font.DrawGlyph(nullptr, 'K', 0, 0, nullptr));

  Use(LICE_FontRenderAsciiNow);
  EXPECT_TRUE(font.DrawGlyph(&canvas, 'Q', 0, 0, nullptr));
  EXPECT_FALSE(font.DrawGlyph(&canvas, 0xE9, 0, 0, nullptr));
}

TEST_F(FontTest, SettersReturnThePreviousValue)
{
  EXPECT_EQ(font.SetTextColor(0xFF123456), 0u);
  EXPECT_EQ(font.SetTextColor(0xFF000000), 0xFF123456u);
  EXPECT_EQ(font.TextColor(), 0xFF000000u);
  EXPECT_EQ(font.SetBkColor(0xFF0000FF), 0xFFFFFFFFu);
  EXPECT_EQ(font.SetOutlineColor(0xFF00FF00), 0xFFFFFFFFu);
  EXPECT_EQ(font.SetBkMode(LICE_BkOpaque), int(LICE_BkTransparent));
  EXPECT_EQ(font.SetBkMode(LICE_BkTransparent), int(LICE_BkOpaque));
}

TEST_F(FontTest, OpaqueBackgroundFillsTheGlyphBoxes)
{
  FillBitmap(canvas, kWhite);
  font.SetBkMode(LICE_BkOpaque);
  font.SetBkColor(0xFF0000FF);
  LICE_Rect rect{10, 10, 190, 70};
  font.DrawText(&canvas, "i", -1, &rect, 0);
  const Box box = Changed(canvas, kWhite);
  // The whole cell of the glyph is covered: its height is the line height.
  EXPECT_EQ(box.top, 10);
  EXPECT_EQ(box.bottom - box.top, font.LineHeight());
  EXPECT_EQ(PixelAt(canvas, box.left, box.top), 0xFF0000FFu);
}

TEST_F(FontTest, OneBitShadowAndOutlineUseOnlyTheirColours)
{
  const LICE_pixel text = 0xFF102030, effect = 0xFFA0B0C0;
  for (int flags : {int(LICE_FontOneBit), int(LICE_FontShadow), int(LICE_FontOutline)})
  {
    Use(flags);
    font.SetTextColor(text);
    font.SetOutlineColor(effect);
    FillBitmap(canvas, kWhite);
    LICE_Rect rect{10, 10, 190, 70};
    font.DrawText(&canvas, "Hox", -1, &rect, 0);
    int texts = 0, effects = 0;
    for (int y = 0; y < canvas.Height(); ++y)
      for (int x = 0; x < canvas.Width(); ++x)
      {
        const LICE_pixel p = PixelAt(canvas, x, y);
        ASSERT_TRUE(p == kWhite || p == text || p == effect) << std::hex << p << " flags " << flags;
        texts += p == text;
        effects += p == effect;
      }
    EXPECT_GT(texts, 10) << flags;
    if (flags == LICE_FontOneBit)
      EXPECT_EQ(effects, 0);
    else
      EXPECT_GT(effects, 10) << flags;
  }
}

TEST_F(FontTest, BlurAndInvertChangeTheCoverage)
{
  auto exactAndChanged = [&](int flags)
  {
    Use(flags);
    font.SetTextColor(kBlack);
    FillBitmap(canvas, kWhite);
    LICE_Rect rect{10, 10, 190, 70};
    font.DrawText(&canvas, "HIM", -1, &rect, 0);
    int exact = 0;
    for (int y = 0; y < canvas.Height(); ++y)
      for (int x = 0; x < canvas.Width(); ++x)
        exact += PixelAt(canvas, x, y) == kBlack;
    return std::make_pair(exact, Changed(canvas, kWhite).count);
  };
  const auto plain = exactAndChanged(0);
  const auto blurred = exactAndChanged(LICE_FontBlur);
  const auto inverted = exactAndChanged(LICE_FontInvert);
  EXPECT_LT(blurred.first, plain.first);    // soft edges eat into full coverage
  EXPECT_GT(blurred.second, plain.second);  // and spread outwards
  EXPECT_GT(inverted.second, plain.second); // the empty cell becomes ink
}

TEST_F(FontTest, VerticalTextRunsDownwards)
{
  for (int flags : {int(LICE_FontVertical), int(LICE_FontVertical | LICE_FontVerticalOpposite)})
  {
    Use(flags);
    const int lineHeight = font.LineHeight();
    LICE_Rect measured{0, 0, 0, 0};
    const int width = font.DrawText(nullptr, "HHH", -1, &measured, LICE_TextCalcRect);
    EXPECT_EQ(width, measured.right);
    EXPECT_EQ(measured.right, lineHeight);
    // Three equal advances along the column.
    EXPECT_GT(measured.bottom, lineHeight);
    EXPECT_EQ(measured.bottom % 3, 0);

    LICE_MemBitmap tall(60, 200);
    FillBitmap(tall, kWhite);
    LICE_Rect rect{5, 5, 55, 195};
    font.DrawText(&tall, "HHH", -1, &rect, 0);
    const Box box = Changed(tall, kWhite);
    ASSERT_GT(box.count, 0);
    EXPECT_GT(box.bottom - box.top, 2 * (box.right - box.left)) << flags;
  }
}

TEST_F(FontTest, AdditiveBlendBrightensOnly)
{
  FillBitmap(canvas, 0xFF404040);
  font.SetTextColor(0xFF808080);
  font.SetBlendMode(LICE_BlendAdd, 1.0f);
  LICE_Rect rect{10, 10, 190, 70};
  font.DrawText(&canvas, "H", -1, &rect, 0);
  const Box box = Changed(canvas, 0xFF404040);
  ASSERT_GT(box.count, 0);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
    {
      EXPECT_GE(LICE_RedOf(PixelAt(canvas, x, y)), 0x40);
      EXPECT_LE(LICE_RedOf(PixelAt(canvas, x, y)), 0x40 + 0x80);
    }
}
