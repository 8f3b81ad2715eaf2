#include "editor_images.h"
#include "image_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace
{
const EditorImage& Image(const char* fileName)
{
  for (const EditorImage& image : kEditorImages)
  {
    if (std::strcmp(image.fileName, fileName) == 0) return image;
  }
  ADD_FAILURE() << fileName;
  return kEditorImages[0];
}

// Strong red: the lit knob dots and switch lamps, not the deeper cap red.
bool IsLitRed(Colour c)
{
  return c.a > 0.5f && c.r > 0.85f && c.g < 0.45f && c.b < 0.4f;
}

TEST(PaintedImages, KnobArcLightsUpFromMinimumToMaximum)
{
  auto strip = PaintEditorImage(Image("vo_knob_0018_karmared.png"), 1);
  const int frames = 99;
  const int size = strip->PixelWidth();
  ASSERT_EQ(strip->PixelHeight(), size * frames);
  int previous = -1;
  for (int frame = 0; frame < frames; ++frame)
  {
    int lit = 0;
    for (int y = 0; y < size; ++y)
    {
      for (int x = 0; x < size; ++x)
      {
        // Only the ring round the knob body: outside the skirt.
        const float r = std::hypot(x + 0.5f - size * 0.5f, y + 0.5f - size * 0.5f);
        if (r > 16.0f && IsLitRed(strip->PixelAt(x, frame * size + y))) ++lit;
      }
    }
    if (frame == 0)
    {
      EXPECT_EQ(lit, 0);
    }
    EXPECT_GE(lit, previous) << "frame " << frame;
    previous = lit;
  }
  EXPECT_GT(previous, 40);
}

double Redness(const Canvas& canvas, int top, int height)
{
  double sum = 0.0;
  for (int y = top; y < top + height; ++y)
  {
    for (int x = 0; x < canvas.PixelWidth(); ++x)
    {
      const Colour c = canvas.PixelAt(x, y);
      sum += c.a * (c.r - 0.5 * (c.g + c.b));
    }
  }
  return sum;
}

TEST(PaintedImages, SwitchesGlowWhenOn)
{
  for (const char* fileName : {"vo_button_0022_red.png", "vo_button_0030_white.png"})
  {
    SCOPED_TRACE(fileName);
    for (int scale : {1, 2})
    {
      auto switchStrip = PaintEditorImage(Image(fileName), scale);
      const int frame = switchStrip->PixelHeight() / 2;
      EXPECT_GT(Redness(*switchStrip, frame, frame), Redness(*switchStrip, 0, frame) * 1.2);
    }
  }
}

TEST(PaintedImages, PaintingIsRepeatable)
{
  const EditorImage& panel = Image("vo_panel_thudwerksynth_0001.png");
  auto first = PaintEditorImage(panel, 1)->ToBitmap();
  auto second = PaintEditorImage(panel, 1)->ToBitmap();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  const std::size_t bytes = static_cast<std::size_t>(first->RowSpan()) * first->Height() * 4;
  EXPECT_EQ(std::memcmp(first->Bits(), second->Bits(), bytes), 0);
}

// Both scales come from one geometry: averaging the double-scale panel over
// 2 x 2 blocks gives back the normal-scale panel but for edge rounding.
TEST(PaintedImages, DoubleScaleMatchesNormalScaleWhenAveraged)
{
  const EditorImage& panel = Image("vo_panel_thudwerksynth_0001.png");
  auto normal = PaintEditorImage(panel, 1);
  auto doubled = PaintEditorImage(panel, 2);
  double difference = 0.0;
  for (int y = 0; y < normal->PixelHeight(); ++y)
  {
    for (int x = 0; x < normal->PixelWidth(); ++x)
    {
      float average = 0.0f;
      for (int i = 0; i < 4; ++i)
      {
        const Colour c = doubled->PixelAt(2 * x + i % 2, 2 * y + i / 2);
        average += 0.25f * c.a * (c.r + c.g + c.b) / 3.0f;
      }
      const Colour n = normal->PixelAt(x, y);
      difference += std::fabs(average - n.a * (n.r + n.g + n.b) / 3.0f);
    }
  }
  const double meanDifference = difference / (normal->PixelWidth() * normal->PixelHeight());
  EXPECT_LT(meanDifference, 4.0 / 255.0);
}
} // namespace
