#include "lice_blit.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace
{
constexpr LICE_pixel kUntouched = 0x05060708;

// The general mode-0 fill formula, written from its definition (bytes
// limited to 0..255).
LICE_pixel GeneralFill(LICE_pixel d, LICE_pixel c, int W)
{
  int out[4];
  for (int i = 0; i < 3; ++i)
    out[i] = (Channel(d, i) - Channel(c, i)) * (256 - W) / 256 + Channel(c, i);
  out[3] = W + (Channel(d, 3) - W) * (256 - W) / 256;
  for (int& v : out)
    v = std::min(255, std::max(0, v));
  return LICE_Rgba(out[2], out[1], out[0], out[3]);
}

LICE_pixel PerByte(LICE_pixel d, LICE_pixel c, int (*fn)(int, int))
{
  int out[4];
  for (int i = 0; i < 4; ++i)
    out[i] = fn(Channel(d, i), Channel(c, i));
  return LICE_Rgba(out[2], out[1], out[0], out[3]);
}

// Fills a 64 x 1 random row and checks every pixel against `expected`.
template <typename Expected>
void CheckFill(LICE_pixel colour, float weight, int mode, Expected expected)
{
  LICE_MemBitmap bitmap(64, 1), original(64, 1);
  FillRandom(bitmap, 1234);
  FillRandom(original, 1234);
  LICE_FillArea(&bitmap, 0, 0, 64, 1, colour, weight, mode);
  for (int x = 0; x < 64; ++x)
    ASSERT_EQ(PixelAt(bitmap, x, 0), expected(PixelAt(original, x, 0)))
        << std::hex << "colour " << colour << " weight " << weight << " mode " << mode << " dest "
        << PixelAt(original, x, 0);
}
} // namespace

TEST(FillArea, FullWeightStoresTheColour)
{
  CheckFill(0x80402010, 1.0f, 0, [](LICE_pixel) { return 0x80402010u; });
  // With the alpha bit an opaque colour still gives W = 256.
  CheckFill(0xFF402010, 1.0f, LICE_BlendUseSourceAlpha, [](LICE_pixel) { return 0xFF402010u; });
}

TEST(FillArea, HalfWeightIsThePerByteAverage)
{
  const LICE_pixel c = 0x9F3A01FF;
  CheckFill(c, 0.5f, 0,
            [c](LICE_pixel d)
            { return PerByte(d, c, [](int db, int cb) { return (cb >> 1) + (db >> 1); }); });
}

TEST(FillArea, QuarterWeightsUseShiftedSums)
{
  const LICE_pixel c = 0x7BE4199C;
  CheckFill(
      c, 0.25f, 0,
      [c](LICE_pixel d)
      { return PerByte(d, c, [](int db, int cb) { return (cb >> 2) + (db >> 2) + (db >> 1); }); });
  CheckFill(
      c, 0.75f, 0,
      [c](LICE_pixel d)
      { return PerByte(d, c, [](int db, int cb) { return (cb >> 2) + (db >> 2) + (cb >> 1); }); });
}

TEST(FillArea, OtherWeightsFollowTheGeneralFormula)
{
  for (float weight : {0.01f, 0.3f, 0.6f, 0.99f})
  {
    const LICE_pixel c = 0xC0FF0080;
    CheckFill(c, weight, 0, [=](LICE_pixel d) { return GeneralFill(d, c, int(weight * 256)); });
  }
}

TEST(FillArea, OnlyExactlyFullWeightStoresTheColour)
{
  // Above full weight the general formula applies: it pushes past the colour.
  for (float weight : {1.5f, 2.0f})
  {
    const LICE_pixel c = 0x90A03070;
    CheckFill(c, weight, 0, [=](LICE_pixel d) { return GeneralFill(d, c, int(weight * 256)); });
  }
}

TEST(FillArea, PanelColourDarkensWhatLiesBeneath)
{
  // Black at alpha 140 with the alpha bit: W = int(140 / 255 x 256).
  const LICE_pixel panel = 0x8C000000;
  const int W = int(1.0f * 140 / 255 * 256);
  ASSERT_EQ(W, 140);
  CheckFill(panel, 1.0f, LICE_BlendUseSourceAlpha,
            [=](LICE_pixel d)
            {
              int out[3];
              for (int i = 0; i < 3; ++i)
                out[i] = Channel(d, i) * (256 - 140) / 256;
              return LICE_Rgba(out[2], out[1], out[0], W + (Channel(d, 3) - W) * (256 - W) / 256);
            });
}

TEST(FillArea, AddDodgeMultiplyOverlay)
{
  const LICE_pixel c = 0x60C08010;
  const float weight = 0.6f;
  const int W = int(weight * 256);
  CheckFill(c, weight, LICE_BlendAdd,
            [=](LICE_pixel d)
            {
              int out[4];
              for (int i = 0; i < 3; ++i)
                out[i] = std::min(255, Channel(d, i) + Channel(c, i) * W / 256);
              out[3] = std::min(255, Channel(d, 3) + W * W / 256);
              return LICE_Rgba(out[2], out[1], out[0], out[3]);
            });
  CheckFill(c, weight, LICE_BlendDodge,
            [=](LICE_pixel d)
            {
              auto dodge = [](int dv, int t)
              { return t < 255 ? std::min(255, dv * 256 / (256 - t)) : std::min(255, dv * 256); };
              int out[4];
              for (int i = 0; i < 3; ++i)
                out[i] = dodge(Channel(d, i), Channel(c, i) * W / 256);
              out[3] = dodge(Channel(d, 3), W * W / 256);
              return LICE_Rgba(out[2], out[1], out[0], out[3]);
            });
  CheckFill(c, weight, LICE_BlendMultiply,
            [=](LICE_pixel d)
            {
              int out[4];
              for (int i = 0; i < 4; ++i)
                out[i] = ((256 - W) * 256 + W * Channel(c, i)) * Channel(d, i) / 65536;
              return LICE_Rgba(out[2], out[1], out[0], out[3]);
            });
  CheckFill(c, weight, LICE_BlendOverlay,
            [=](LICE_pixel d)
            {
              int out[4];
              for (int i = 0; i < 4; ++i)
              {
                const int m = W * Channel(c, i) + (256 - W) * 128;
                out[i] =
                    std::min(255, ((32768 - m) * Channel(d, i) / 256 + m) * Channel(d, i) / 32768);
              }
              return LICE_Rgba(out[2], out[1], out[0], out[3]);
            });
}

TEST(FillArea, ClipsToTheBitmapAndNeverWritesPadding)
{
  std::mt19937 random(31);
  std::uniform_int_distribution<int> coordinate(-12, 16);
  LICE_MemBitmap bitmap(7, 5); // row span 8: one padding column
  for (int round = 0; round < 300; ++round)
  {
    FillBitmap(bitmap, kUntouched);
    const int x = coordinate(random), y = coordinate(random);
    const int w = coordinate(random), h = coordinate(random);
    LICE_FillArea(&bitmap, x, y, w, h, 0xFFFFFFFF, 1.0f, 0);
    for (int py = 0; py < 5; ++py)
      for (int px = 0; px < 8; ++px)
      {
        const bool inside = px < 7 && px >= x && px < x + w && py >= y && py < y + h;
        ASSERT_EQ(PixelAt(bitmap, px, py), inside ? 0xFFFFFFFFu : kUntouched)
            << x << "," << y << " " << w << "x" << h;
      }
  }
}

TEST(FillArea, NothingHappensWithoutPixelsOrWeight)
{
  LICE_MemBitmap empty, bitmap(3, 3);
  FillBitmap(bitmap, kUntouched);
  LICE_FillArea(nullptr, 0, 0, 3, 3, 0xFFFFFFFF, 1.0f, 0);
  LICE_FillArea(&empty, 0, 0, 3, 3, 0xFFFFFFFF, 1.0f, 0);
  LICE_FillArea(&bitmap, 0, 0, 3, 3, 0xFFFFFFFF, 0.0f, 0);
  LICE_FillArea(&bitmap, 0, 0, 3, 3, 0x00FFFFFF, 1.0f, LICE_BlendUseSourceAlpha);
  LICE_FillArea(&bitmap, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFFFFFFFF, 1.0f, 0);
  LICE_FillArea(&bitmap, INT32_MAX, 0, INT32_MAX, 3, 0xFFFFFFFF, 1.0f, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(PixelAt(bitmap, x, y), kUntouched);
}
