// The picture of a sound and the transform behind its spectrogram.

#include "lice_png.h"
#include "sound_picture.h"
#include "spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

namespace
{

const double kPi = std::acos(-1.0);

TEST(Spectrum, FastTransformMatchesTheDefinition)
{
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::vector<std::complex<double>> input(64);
  for (auto& x : input)
    x = {value(random), value(random)};
  std::vector<std::complex<double>> fast = input;
  ASSERT_TRUE(FourierTransform(fast));
  for (std::size_t k = 0; k < input.size(); ++k)
  {
    std::complex<double> sum;
    for (std::size_t n = 0; n < input.size(); ++n)
      sum += input[n] * std::polar(1.0, -2.0 * kPi * double(k * n) / double(input.size()));
    EXPECT_NEAR(std::abs(fast[k] - sum), 0.0, 1e-9) << "bin " << k;
  }
}

TEST(Spectrum, OnlyPowersOfTwo)
{
  std::vector<std::complex<double>> values(48, {1.0, 0.0});
  EXPECT_FALSE(FourierTransform(values));
  EXPECT_EQ(values[1], std::complex<double>(1.0, 0.0));
}

TEST(Spectrum, ASineOnABinPeaksThere)
{
  std::vector<double> frame(256);
  for (std::size_t i = 0; i < frame.size(); ++i)
    frame[i] = std::sin(2.0 * kPi * 20.0 * double(i) / 256.0);
  const std::vector<double> magnitudes = WindowedMagnitudes(frame);
  ASSERT_EQ(magnitudes.size(), 129u);
  const auto loudest = std::max_element(magnitudes.begin(), magnitudes.end());
  EXPECT_EQ(loudest - magnitudes.begin(), 20);
}

int CountColour(LICE_IBitmap* bitmap, const LICE_Rect& area, LICE_pixel colour)
{
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      count += (bitmap->Bits()[y * bitmap->RowSpan() + x] & 0xFFFFFF) == (colour & 0xFFFFFF);
  return count;
}

TEST(SoundPicture, EachChannelIsDrawnInItsOwnPanel)
{
  // A loud tone on the left, silence on the right.
  std::vector<std::vector<double>> sound(2, std::vector<double>(8000, 0.0));
  for (std::size_t i = 0; i < sound[0].size(); ++i)
    sound[0][i] = 0.8 * std::sin(2.0 * kPi * 100.0 * double(i) / 8000.0);
  PictureOptions options;
  options.width = 600;
  const PictureLayout layout = LayOutPicture(2, options);
  auto bitmap = DrawSoundPicture(sound, 8000.0, options);
  ASSERT_TRUE(bitmap);
  ASSERT_EQ(bitmap->Width(), layout.width);
  ASSERT_EQ(bitmap->Height(), layout.height);
  const int panelWidth = layout.waveforms[0].right - layout.waveforms[0].left;
  // The tone fills tall runs in every column; silence is at most the zero line.
  EXPECT_GT(CountColour(bitmap.get(), layout.waveforms[0], ChannelColour(0)), panelWidth * 20);
  EXPECT_EQ(CountColour(bitmap.get(), layout.waveforms[1], ChannelColour(0)), 0);
  EXPECT_LE(CountColour(bitmap.get(), layout.waveforms[1], ChannelColour(1)), panelWidth);
}

TEST(SoundPicture, TheSpectrogramAddsAPanelBelowTheLevel)
{
  PictureOptions options;
  const PictureLayout plain = LayOutPicture(2, options);
  options.spectrogram = true;
  const PictureLayout withSpectrogram = LayOutPicture(2, options);
  EXPECT_EQ(plain.spectrogram.bottom - plain.spectrogram.top, 0);
  EXPECT_GT(withSpectrogram.spectrogram.top, withSpectrogram.level.bottom);
  EXPECT_GT(withSpectrogram.height, plain.height);
  EXPECT_LE(withSpectrogram.spectrogram.bottom, withSpectrogram.height);
}

TEST(SoundPicture, ThePictureEncodesAsAnOpaquePng)
{
  std::vector<std::vector<double>> sound(2, std::vector<double>(4410, 0.25));
  PictureOptions options;
  options.spectrogram = true;
  options.title = "test";
  auto bitmap = DrawSoundPicture(sound, 44100.0, options);
  ASSERT_TRUE(bitmap);
  std::vector<unsigned char> png;
  ASSERT_TRUE(EncodePng(bitmap.get(), png));
  std::unique_ptr<LICE_MemBitmap> decoded(LoadPngFromMemory(png.data(), png.size()));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->Width(), bitmap->Width());
  EXPECT_EQ(decoded->Height(), bitmap->Height());
  for (int y = 0; y < decoded->Height(); y += 7)
    for (int x = 0; x < decoded->Width(); x += 7)
      ASSERT_EQ(LICE_AlphaOf(decoded->Bits()[y * decoded->RowSpan() + x]), 255) << x << "," << y;
}

TEST(SoundPicture, NothingToDrawGivesNoPicture)
{
  EXPECT_FALSE(DrawSoundPicture({}, 44100.0, PictureOptions{}));
  EXPECT_FALSE(DrawSoundPicture({{}, {}}, 44100.0, PictureOptions{}));
  EXPECT_FALSE(DrawSoundPicture({{0.0}, {0.0, 0.0}}, 44100.0, PictureOptions{}));
}

} // namespace
