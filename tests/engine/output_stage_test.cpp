// Distortion, reverb and output gain.

#include "engine_test_support.h"
#include "reference_kick.h"
#include "shape_memo.h"
#include "transistor_shaper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace
{
TEST(TransistorShaper, FullLoadConstants)
{
  const ShaperConstants k = ComputeShaperConstants(1.0);
  EXPECT_EQ(k.distOn, 1.0);
  EXPECT_EQ(k.drive1, 5.0);
  EXPECT_NEAR(k.drive2, 9.0, 1e-14);
  EXPECT_NEAR(k.norm, std::tanh(9.0), 1e-15);
  EXPECT_NEAR(k.outScale, 0.7, 1e-15);
  EXPECT_NEAR(ShapeCurve(1.0, k), 0.7, 1e-6) << "a full-scale sample is shaped to about 0.7";
  EXPECT_NEAR(ShapeCurve(-1.0, k), -0.7, 1e-6);

  const ShaperConstants off = ComputeShaperConstants(0.0);
  EXPECT_EQ(off.distOn, 0.0);
  EXPECT_EQ(off.drive1, 1.0);
  EXPECT_EQ(off.drive2, 1.154);
  EXPECT_EQ(off.outScale, 0.9);
  const ShaperConstants tiny = ComputeShaperConstants(1e-9);
  EXPECT_EQ(tiny.distOn, 1.0);
  EXPECT_NEAR(ShapeCurve(0.01, tiny), 0.9 * std::tanh(1.154 * 0.01) / std::tanh(1.154), 1e-12);
}

// The shaper as a filter: quarter, half, quarter of the curve at the two
// previous inputs and their midpoint, then a DC blocker.
TEST(TransistorShaper, SmoothsTheCurveAtTwiceTheRateAndBlocksDc)
{
  const ShaperConstants k = ComputeShaperConstants(0.7);
  TransistorShaperState state{};
  std::mt19937 random(99);
  std::uniform_real_distribution<double> sample(-1.0, 1.0);
  double u1 = 0.0;
  double u2 = 0.0;
  double previousS = 0.0;
  double previousY = 0.0;
  for (int n = 0; n < 2000; ++n)
  {
    const double u = sample(random);
    const double s =
        0.25 * ShapeCurve(u2, k) + 0.5 * ShapeCurve(0.5 * (u1 + u2), k) + 0.25 * ShapeCurve(u1, k);
    const double y = s - previousS + 0.9997 * previousY;
    ASSERT_NEAR(TransistorShaper(state, u, k), y, 1e-9) << n;
    previousS = s;
    previousY = y;
    u2 = u1;
    u1 = u;
  }
}

TEST(TransistorShaper, ZeroLoadKeepsTheCleanBassAnyLoadSwitchesToTheShaper)
{
  auto renderWithLoad = [](double load)
  {
    EnginePtr engine = MakeEngine();
    EngineSetParam(engine.get(), EngineParam::SnapAmpLevel, 0.0);
    EngineSetParam(engine.get(), EngineParam::MainVolume, 1.0);
    EngineSetParam(engine.get(), EngineParam::TransistorDistLoad, load);
    StartNote(engine.get());
    return Render(engine.get(), 2000).left;
  };
  const std::vector<double> clean = renderWithLoad(0.0);
  // Without snap, reverb and gain the output is half the quantized bass.
  for (size_t i = 0; i < clean.size(); ++i)
  {
    const double bass = clean[i] * 2;
    ASSERT_EQ(bass, std::trunc(bass * 32768) / 32768) << i;
  }
  const std::vector<double> shaped = renderWithLoad(1e-9);
  EXPECT_NE(clean, shaped);
  // The shaped bass lags the clean one by one and a half samples.
  EXPECT_EQ(shaped[0], 0.0);
}

// The memo must give the curve's own bits for every input, on the grid and
// off it, the first time (computed) and the second (read back), and forget a
// curve when the drive changes.
TEST(ShapeMemo, GivesTheCurvesOwnBitsForAnyInputAndDrive)
{
  std::vector<uint64_t> storage(ShapeMemoBytes() / sizeof(uint64_t) + 1, 0);
  ShapeMemo memo{};
  ShapeMemoAttach(memo, storage.data());
  const double step = 1.0 / 65536;
  const double inputs[] = {-1.0,       1.0,      0.0,        -0.0,        step,         -step,
                           0.5 + step, step / 2, 1.0 + step, -1.0 - step, std::nan(""), 0.25};
  for (double load : {0.0, 0.6, 1.0, 0.0})
  {
    const ShaperConstants k = ComputeShaperConstants(load);
    ShapeMemoUse(memo, k);
    for (int pass = 0; pass < 2; ++pass)
      for (double z : inputs)
        EXPECT_TRUE(SameBits(ShapeMemoCurve(memo, z), ShapeCurve(z, k)))
            << "load " << load << ", input " << z << ", pass " << pass;
  }
}

TEST(ReverbGeometry, LengthsAndGainsFollowTheSampleRate)
{
  const ReverbGeometry at44 = ComputeReverbGeometry(44100.0);
  EXPECT_NEAR(at44.feedbackDelay[0], 9727.94, 0.01);
  EXPECT_NEAR(at44.leftDelay[1], 2872.77, 0.01);
  EXPECT_NEAR(at44.leftDelay[0], 165.27705 * 5, 1e-9);
  EXPECT_NEAR(at44.feedbackGain[0], -0.859, 0.001);
  EXPECT_NEAR(at44.feedbackGain[1], -0.898, 0.001);
  EXPECT_NEAR(at44.feedbackGain[2], -0.884, 0.001);
  EXPECT_NEAR(at44.feedbackGain[3], -0.909, 0.001);
  EXPECT_NEAR(ComputeReverbGeometry(48000.0).rightDelay[0], 130.5817 * 5, 1e-9);
  const ReverbGeometry at96 = ComputeReverbGeometry(96000.0);
  EXPECT_NEAR(at96.leftDelay[1], 574.5541 * 11, 1e-9);
  for (int k = 0; k < 4; ++k)
  {
    EXPECT_NEAR(at96.feedbackGain[k], at44.feedbackGain[k], 1e-9) << k;
    // The taps' extra 5 samples are the only rate-dependent part.
    EXPECT_NEAR(at96.tapGain[k], at44.tapGain[k], 1e-4) << k;
    EXPECT_GT(at44.tapGain[k], 0.0);
    EXPECT_LT(at44.tapGain[k], 1.0);
  }
}

TEST(ReverbNetwork, MatchesTheReferenceOnAnyInputInRunsOfAnyLength)
{
  EnginePtr engine = MakeEngine(44100.0);
  ReverbState& state = engine->reverb;
  reference::Reverb expected(44100.0, 44100.0);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> sample(-1.0, 1.0);
  std::uniform_int_distribution<int> runLength(0, 150);
  std::vector<double> dry;
  std::vector<double> left;
  std::vector<double> right;
  int n = 0;
  while (n < 30000)
  {
    const int count = runLength(random);
    const bool on = (n / 7000) % 2 == 0;
    dry.resize(static_cast<size_t>(count));
    for (double& x : dry)
      x = n < 3000 ? sample(random) : 0.0;
    left.assign(dry.size(), 0.0);
    right.assign(dry.size(), 0.0);
    ReverbNetwork(state, engine->reverbGeometry, on, dry.data(), left.data(), right.data(), count);
    for (int i = 0; i < count; ++i, ++n)
    {
      double expectedLeft = 0.0;
      double expectedRight = 0.0;
      expected.Run(dry[static_cast<size_t>(i)], on, expectedLeft, expectedRight);
      ASSERT_TRUE(SameBits(left[static_cast<size_t>(i)], expectedLeft)) << n;
      ASSERT_TRUE(SameBits(right[static_cast<size_t>(i)], expectedRight)) << n;
    }
  }
}

TEST(OutputStage, DryPathWithEverythingOffIsTheMixItself)
{
  EnginePtr engine = MakeEngine();
  EngineSetParam(engine.get(), EngineParam::MainVolume, 1.0);
  StartNote(engine.get());
  const StereoBuffer out = Render(engine.get(), 8000);
  EXPECT_EQ(out.left, out.right);
  // The dry mix is half of two quantized samples.
  for (size_t i = 0; i < out.left.size(); ++i)
    ASSERT_EQ(out.left[i] * 65536, std::trunc(out.left[i] * 65536)) << i;
}

TEST(OutputStage, HalfReverbRunsUnheardAndRaisesTheLevel)
{
  EnginePtr plain = MakeEngine();
  EnginePtr half = MakeEngine();
  EngineSetParam(half.get(), EngineParam::ReverbOffOn, 0.5);
  for (KickEngine* engine : {plain.get(), half.get()})
  {
    EngineSetParam(engine, EngineParam::VelAmpOffOn, 1.0);
    StartNote(engine, 90.0);
  }
  const StereoBuffer a = Render(plain.get(), 12000);
  const StereoBuffer b = Render(half.get(), 12000);
  EXPECT_EQ(b.left, b.right);
  for (size_t i = 0; i < a.left.size(); ++i)
    ASSERT_NEAR(b.left[i], a.left[i] * 1.25, 1e-15) << i;
  const double* damping = half->reverb.damping;
  EXPECT_TRUE(damping[0] != 0.0 || damping[1] != 0.0 || damping[2] != 0.0 || damping[3] != 0.0)
      << "the network runs while unheard";
}

TEST(OutputStage, FullReverbSpreadsTheChannelsAndRingsForSeconds)
{
  EnginePtr engine = MakeEngine();
  EngineSetParam(engine.get(), EngineParam::ReverbOffOn, 1.0);
  StartNote(engine.get());
  const StereoBuffer note = Render(engine.get(), 4410);
  EngineSetParam(engine.get(), EngineParam::Voice00_NoteGate, 0.0);
  const StereoBuffer after = Render(engine.get(), 44100 * 3, 512);
  EXPECT_NE(note.left, note.right);
  // Two to three seconds after the note the dry kick is long gone.
  double energy = 0.0;
  for (size_t i = 44100 * 2; i < after.left.size(); ++i)
    energy += after.left[i] * after.left[i] + after.right[i] * after.right[i];
  EXPECT_GT(std::sqrt(energy / 44100), 1e-3);
}

TEST(OutputStage, EverySampleStaysWithinTheLimit)
{
  EnginePtr engine = MakeEngine();
  for (int index : {EngineParam::ReverbOffOn, EngineParam::TransistorDistLoad,
                    EngineParam::MainVolume, EngineParam::BassPitchAmt, EngineParam::BassEnvDecay})
    EngineSetParam(engine.get(), index, 1.0);
  std::mt19937 random(5);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  double loudest = 0.0;
  for (int block = 0; block < 60; ++block)
  {
    EngineSetParam(engine.get(), EngineParam::Voice00_NoteGate, unit(random) < 0.7 ? 1.0 : 0.0);
    EngineSetParam(engine.get(), EngineParam::Voice00_NoteRetrig, unit(random));
    EngineSetParam(engine.get(), EngineParam::SnapPitchAmt, unit(random));
    const StereoBuffer out = Render(engine.get(), 1500, 500);
    for (size_t i = 0; i < out.left.size(); ++i)
    {
      ASSERT_LE(std::fabs(out.left[i]), 1.2);
      ASSERT_LE(std::fabs(out.right[i]), 1.2);
    }
    loudest = std::max(loudest, PeakOf(out.left));
  }
  EXPECT_GT(loudest, 0.5) << "the sequence must reach loud passages";
}
} // namespace
