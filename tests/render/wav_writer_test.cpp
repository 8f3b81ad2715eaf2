// The WAV writer: headers read back field by field, samples read back in
// every format, and what cannot be written.

#include "wav_reader.h"
#include "wav_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

namespace
{

const std::vector<std::vector<double>> kStereo{{0.0, 0.5, -0.25, 1.0, -1.0},
                                               {0.1, -0.7, 1.5, -2.0, 0.001}};

WavContents Decode(const std::vector<std::vector<double>>& channels, int rate,
                   WavSampleFormat format)
{
  WavContents wav;
  EXPECT_TRUE(DecodeWav(EncodeWav(channels, rate, format), &wav));
  return wav;
}

TEST(WavWriter, FloatHeaderDescribesStereoIeeeFloatWithAFactChunk)
{
  const std::vector<char> bytes = EncodeWav(kStereo, 48000, WavSampleFormat::Float32);
  WavContents wav;
  ASSERT_TRUE(DecodeWav(bytes, &wav));
  EXPECT_EQ(wav.formatTag, 3);
  EXPECT_EQ(wav.channels, 2);
  EXPECT_EQ(wav.sampleRate, 48000u);
  EXPECT_EQ(wav.bitsPerSample, 32);
  EXPECT_EQ(wav.blockAlign, 8);
  EXPECT_EQ(wav.byteRate, 48000u * 8u);
  EXPECT_TRUE(wav.hasFact);
  EXPECT_EQ(wav.factFrames, 5u);
  EXPECT_EQ(wav.dataBytes, 5u * 8u);
  EXPECT_EQ(wav.riffSize, bytes.size() - 8);
}

TEST(WavWriter, FloatSamplesAreStoredUnclipped)
{
  const WavContents wav = Decode(kStereo, 44100, WavSampleFormat::Float32);
  for (std::size_t c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < kStereo[c].size(); ++i)
      EXPECT_EQ(wav.samples[c][i], double(float(kStereo[c][i]))) << c << " " << i;
}

TEST(WavWriter, FloatSamplesBelowTheSmallestNormalFloatAreZero)
{
  const double normal = std::numeric_limits<float>::min();
  const std::vector<double> samples{normal * 0.5, -normal * 0.999, 1e-300, normal, -normal};
  const std::vector<double> stored{0.0, 0.0, 0.0, normal, -normal};
  const WavContents wav = Decode({samples}, 44100, WavSampleFormat::Float32);
  ASSERT_EQ(wav.samples.size(), 1u);
  EXPECT_EQ(wav.samples[0], stored);
  EXPECT_FALSE(std::signbit(wav.samples[0][1])) << "no negative zero";
}

TEST(WavWriter, SixteenBitSamplesAreClippedAndRoundedToNearest)
{
  const WavContents wav = Decode(kStereo, 44100, WavSampleFormat::Pcm16);
  EXPECT_EQ(wav.formatTag, 1);
  EXPECT_EQ(wav.bitsPerSample, 16);
  EXPECT_EQ(wav.blockAlign, 4);
  EXPECT_FALSE(wav.hasFact);
  const double full = 32767.0;
  for (std::size_t c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < kStereo[c].size(); ++i)
    {
      const double clipped = std::max(-1.0, std::min(1.0, kStereo[c][i]));
      EXPECT_EQ(wav.samples[c][i], std::round(clipped * full)) << c << " " << i;
    }
  EXPECT_EQ(wav.samples[1][2], full);  // 1.5 clipped
  EXPECT_EQ(wav.samples[1][3], -full); // -2.0 clipped
}

TEST(WavWriter, TwentyFourBitSamplesKeepTheirSign)
{
  const WavContents wav = Decode(kStereo, 96000, WavSampleFormat::Pcm24);
  EXPECT_EQ(wav.bitsPerSample, 24);
  EXPECT_EQ(wav.blockAlign, 6);
  EXPECT_EQ(wav.samples[0][2], std::round(-0.25 * 8388607.0));
  EXPECT_EQ(wav.samples[0][4], -8388607.0);
  EXPECT_EQ(wav.samples[1][4], std::round(0.001 * 8388607.0));
}

TEST(WavWriter, OddDataIsPaddedToAnEvenChunk)
{
  const std::vector<char> bytes = EncodeWav({{0.5}}, 8000, WavSampleFormat::Pcm24);
  WavContents wav;
  ASSERT_TRUE(DecodeWav(bytes, &wav));
  EXPECT_EQ(wav.dataBytes, 3u);
  EXPECT_EQ(bytes.size() % 2, 0u);
  EXPECT_EQ(wav.riffSize, bytes.size() - 8);
}

TEST(WavWriter, NotANumberBecomesSilenceInIntegers)
{
  const WavContents wav =
      Decode({{std::numeric_limits<double>::quiet_NaN()}}, 8000, WavSampleFormat::Pcm16);
  EXPECT_EQ(wav.samples[0][0], 0.0);
}

TEST(WavWriter, RefusesWhatItCannotDescribe)
{
  EXPECT_TRUE(EncodeWav({}, 44100, WavSampleFormat::Float32).empty());
  EXPECT_TRUE(EncodeWav({{0.0, 0.0}, {0.0}}, 44100, WavSampleFormat::Float32).empty());
  EXPECT_TRUE(EncodeWav({{0.0}}, 0, WavSampleFormat::Float32).empty());
}

TEST(WavWriter, WritingIntoAMissingFolderFailsWithTheName)
{
  std::string error;
  const std::string path =
      (std::filesystem::temp_directory_path() / "no-such-thudwerk-folder" / "out.wav").string();
  EXPECT_FALSE(WriteWavFile(path, kStereo, 44100, WavSampleFormat::Float32, &error));
  EXPECT_NE(error.find("out.wav"), std::string::npos);
}

} // namespace
