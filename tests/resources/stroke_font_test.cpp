#include "stroke_font.h"

#include <gtest/gtest.h>

namespace
{
TEST(StrokeText, InkBoxCoversStrokesAndGrowsWithText)
{
  const StrokeText bar("I", 6.0f, 1.0f);
  // A single upright stroke: as wide as the pen, cap height plus the pen.
  EXPECT_FLOAT_EQ(bar.Width(), 1.0f);
  EXPECT_FLOAT_EQ(bar.Height(), 7.0f);

  const StrokeText one("A", 6.0f, 1.0f);
  const StrokeText two("AA", 6.0f, 1.0f);
  const StrokeText tracked("AA", 6.0f, 1.0f, 2.0f);
  EXPECT_GT(two.Width(), one.Width() * 2 - 1.0f);
  EXPECT_FLOAT_EQ(tracked.Width(), two.Width() + 2.0f);
  EXPECT_FLOAT_EQ(StrokeText("AA", 12.0f, 1.0f).Width() - 1.0f, (two.Width() - 1.0f) * 2);
}

TEST(StrokeText, DistanceIsNegativeOnStrokesAndPositiveBetweenThem)
{
  const StrokeText bar("I", 6.0f, 1.0f);
  EXPECT_FLOAT_EQ(bar.Distance(10, 20, 10.5f, 23.5f), -0.5f);
  EXPECT_FLOAT_EQ(bar.Distance(10, 20, 13.5f, 23.5f), 2.5f);

  const StrokeText h("H", 6.0f, 1.0f);
  // Between the two uprights of H, above its bar.
  EXPECT_GT(h.Distance(0, 0, h.Width() * 0.5f, 1.5f), 0.0f);
  // On its bar, half way down.
  EXPECT_LT(h.Distance(0, 0, h.Width() * 0.5f, h.Height() * 0.5f), 0.0f);
}

TEST(StrokeText, LowerCaseReadsAsCapitalsAndUnknownCharactersAsSpace)
{
  const StrokeText upper("LOAD", 6.0f, 1.0f);
  const StrokeText lower("load", 6.0f, 1.0f);
  EXPECT_FLOAT_EQ(lower.Width(), upper.Width());
  EXPECT_FLOAT_EQ(lower.Distance(0, 0, 2.0f, 3.0f), upper.Distance(0, 0, 2.0f, 3.0f));
  EXPECT_FLOAT_EQ(StrokeText("A?A", 6.0f, 1.0f).Width(), StrokeText("A A", 6.0f, 1.0f).Width());
  EXPECT_GT(StrokeText("A A", 6.0f, 1.0f).Width(), StrokeText("AA", 6.0f, 1.0f).Width());
}

TEST(StrokeText, DrawingStaysInsideTheInkBox)
{
  const StrokeText text("SAVE", 6.0f, 1.2f);
  for (int scale : {1, 2})
  {
    Canvas canvas(40, 20, scale);
    constexpr float left = 5.0f;
    constexpr float top = 6.0f;
    text.Draw(canvas, left, top, Rgb(255, 255, 255));
    int painted = 0;
    for (int y = 0; y < canvas.PixelHeight(); ++y)
    {
      for (int x = 0; x < canvas.PixelWidth(); ++x)
      {
        if (canvas.PixelAt(x, y).a <= 0.0f) continue;
        ++painted;
        const float cx = (x + 0.5f) / scale;
        const float cy = (y + 0.5f) / scale;
        EXPECT_GE(cx, left - 1.0f / scale);
        EXPECT_LE(cx, left + text.Width() + 1.0f / scale);
        EXPECT_GE(cy, top - 1.0f / scale);
        EXPECT_LE(cy, top + text.Height() + 1.0f / scale);
      }
    }
    EXPECT_GT(painted, 20 * scale * scale);
  }
}
} // namespace
