#include "canvas.h"
#include "shapes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr Colour kWhite = Rgb(255, 255, 255);

float AlphaSum(const Canvas& canvas)
{
  float sum = 0.0f;
  for (int y = 0; y < canvas.PixelHeight(); ++y)
  {
    for (int x = 0; x < canvas.PixelWidth(); ++x)
      sum += canvas.PixelAt(x, y).a;
  }
  return sum;
}

TEST(Canvas, SmoothedEdgesKeepTheShapesArea)
{
  for (int scale : {1, 2})
  {
    SCOPED_TRACE(scale);
    // A half plane ending a quarter of a unit past a pixel boundary.
    constexpr float edge = 5.25f;
    Canvas strip(10, 1, scale);
    strip.FillColour(
        {0, 0, edge, 1}, [](float x, float) { return x - edge; }, kWhite);
    // One design unit tall: `scale` rows of device pixels.
    EXPECT_NEAR(AlphaSum(strip), edge * scale * scale, 1e-4f);
    EXPECT_FLOAT_EQ(strip.PixelAt(0, 0).a, 1.0f);
    EXPECT_FLOAT_EQ(strip.PixelAt(strip.PixelWidth() - 1, 0).a, 0.0f);
    const float partial = strip.PixelAt(static_cast<int>(edge * scale), 0).a;
    EXPECT_GT(partial, 0.0f);
    EXPECT_LT(partial, 1.0f);

    constexpr float radius = 8.0f;
    Canvas disc(20, 20, scale);
    disc.FillColour(CircleBox(10, 10, radius), Circle(10, 10, radius), kWhite);
    const float area = 3.14159265f * radius * radius * scale * scale;
    EXPECT_NEAR(AlphaSum(disc), area, area * 0.005f);
  }
}

TEST(Canvas, BlurredEdgeIsHalfCoveredAtTheBoundaryAndKeepsTheArea)
{
  Canvas strip(40, 1, 2);
  constexpr float edge = 20.0f;
  strip.FillColour(
      {0, 0, edge, 1}, [](float x, float) { return x - edge; }, kWhite, 3.0f);
  // Pixel 39 spans design units 19.5 .. 20; 40 spans 20 .. 20.5.
  EXPECT_NEAR((strip.PixelAt(39, 0).a + strip.PixelAt(40, 0).a) * 0.5f, 0.5f, 0.01f);
  EXPECT_NEAR(strip.PixelAt(0, 0).a, 1.0f, 1e-3f);
  EXPECT_NEAR(strip.PixelAt(79, 0).a, 0.0f, 1e-3f);
  EXPECT_NEAR(AlphaSum(strip), edge * 2 * 2, 0.05f); // two rows of device pixels
}

TEST(Canvas, PaintingOverCompositesStraightColours)
{
  Canvas canvas(1, 1, 1);
  const auto everywhere = [](float, float) { return -1.0f; };
  canvas.FillColour({0, 0, 1, 1}, everywhere, Rgb(255, 0, 0, 0.5f));
  canvas.FillColour({0, 0, 1, 1}, everywhere, Rgb(0, 0, 255, 0.5f));
  const Colour result = canvas.PixelAt(0, 0);
  // Blue over red, each half covering: a = 0.5 + 0.5 * 0.5; the colour is
  // the premultiplied sum divided by that alpha.
  EXPECT_NEAR(result.a, 0.75f, 1e-6f);
  EXPECT_NEAR(result.r, 0.25f / 0.75f, 1e-6f);
  EXPECT_NEAR(result.b, 0.5f / 0.75f, 1e-6f);
  EXPECT_NEAR(result.g, 0.0f, 1e-6f);
}

TEST(Canvas, FramesMoveTheOriginAndClip)
{
  Canvas strip(10, 30, 2);
  strip.SetFrame({0, 10, 10, 20});
  strip.FillColour(
      {-50, -50, 50, 50}, [](float, float) { return -1.0f; }, kWhite);
  strip.SetFrame({0, 20, 10, 30});
  strip.FillColour(CircleBox(5, 5, 1), Circle(5, 5, 1), Rgb(255, 0, 0));
  strip.ResetFrame();
  for (int y = 0; y < strip.PixelHeight(); ++y)
  {
    const bool inFirstFrame = y >= 20 && y < 40;
    EXPECT_EQ(strip.PixelAt(3, y).a, inFirstFrame ? 1.0f : 0.0f) << y;
  }
  // The circle's centre, (5, 5) in the second frame, is device (10, 50).
  EXPECT_FLOAT_EQ(strip.PixelAt(10, 50).r, 1.0f);
  EXPECT_FLOAT_EQ(strip.PixelAt(10, 50).a, 1.0f);
  EXPECT_EQ(strip.PixelAt(10, 10).a, 0.0f);
}

TEST(Canvas, BitmapHoldsRoundedStraightAlphaPixels)
{
  Canvas canvas(2, 1, 1);
  canvas.FillColour({0, 0, 1, 1}, RoundedBox({0, 0, 1, 1}, 0), Rgb(255, 128, 0, 0.5f));
  auto bitmap = canvas.ToBitmap();
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(bitmap->Width(), 2);
  const LICE_pixel painted = bitmap->Bits()[0];
  EXPECT_EQ(LICE_RedOf(painted), 255);
  EXPECT_EQ(LICE_GreenOf(painted), 128);
  EXPECT_EQ(LICE_BlueOf(painted), 0);
  EXPECT_EQ(LICE_AlphaOf(painted), 128); // 0.5 * 255 rounded
  EXPECT_EQ(bitmap->Bits()[1], 0u);
}

TEST(Shapes, DistancesHaveTheRightSignAndSize)
{
  EXPECT_FLOAT_EQ(RoundedBoxDistance({0, 0, 10, 4}, 1, 5, 2), -2.0f);
  EXPECT_FLOAT_EQ(RoundedBoxDistance({0, 0, 10, 4}, 1, 13, 2), 3.0f);
  // Past a rounded corner the distance is to the corner's arc.
  EXPECT_NEAR(RoundedBoxDistance({0, 0, 10, 10}, 2, 11, 11), std::sqrt(2.0f) * 3 - 2, 1e-5f);
  EXPECT_FLOAT_EQ(Capsule({0, 0}, {10, 0}, 2)(5, 3), 2.0f);
  EXPECT_FLOAT_EQ(Capsule({0, 0}, {10, 0}, 2)(13, 0), 2.0f);
  EXPECT_FLOAT_EQ(Ring(0, 0, 5, 1)(0, 5), -0.5f);

  const auto triangle = ConvexPolygon({{0, 10}, {5, 0}, {10, 10}});
  EXPECT_LT(triangle(5, 8), 0.0f);
  EXPECT_GT(triangle(5, 11), 0.0f);
  EXPECT_FLOAT_EQ(triangle(5, 12), 2.0f);

  const Point up = Polar(0, 0, 2, 0);
  const Point right = Polar(0, 0, 2, 3.14159265f / 2);
  EXPECT_NEAR(up.x, 0.0f, 1e-6f);
  EXPECT_NEAR(up.y, -2.0f, 1e-6f);
  EXPECT_NEAR(right.x, 2.0f, 1e-6f);
  EXPECT_NEAR(right.y, 0.0f, 1e-6f);
}
} // namespace
