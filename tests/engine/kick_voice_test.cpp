// Timing and level properties of the kick voice, observed one sample at a
// time through the public entry point.

#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Renders single samples until `done` says so or `limit` samples passed;
// returns the number of samples rendered.
template <typename Done>
int RenderUntil(KickEngine* engine, Done done, int limit)
{
  StereoBuffer scratch;
  for (int n = 1; n <= limit; ++n)
  {
    RenderInto(engine, scratch, 1, 1);
    if (done()) return n;
  }
  return -1;
}

TEST(KickEnvelope, AttackEndsOnThe45thSampleAndDecayLastsItsTime)
{
  EnginePtr engine = MakeEngine(44100.0);
  StartNote(engine.get());
  const KickGenerator& bass = engine->bass;
  const int attackSamples = RenderUntil(
      engine.get(), [&] { return bass.stage == EnvelopeStage::Decay; }, 1000);
  EXPECT_EQ(attackSamples, 45);

  // BassEnvDecay 0.5: 10 × (0.01 + 0.49 × 0.5)² = 0.65025 s.
  double lastLevel = 1.0;
  const int decaySamples = RenderUntil(
      engine.get(),
      [&]
      {
        if (bass.stage == EnvelopeStage::Done) return true;
        lastLevel = bass.level;
        return false;
      },
      100000);
  EXPECT_NEAR(decaySamples, 0.65025 * 44100, 2.0);
  EXPECT_LT(lastLevel, 1e-6) << "the decay is close to 0 when it ends";
  EXPECT_EQ(bass.level, 0.0);
}

TEST(KickEnvelope, LongerAttackTakesItsTime)
{
  EnginePtr engine = MakeEngine(48000.0);
  EngineSetParam(engine.get(), EngineParam::BassEnvAttack, 1.0);
  StartNote(engine.get());
  const int attackSamples = RenderUntil(
      engine.get(), [&] { return engine->bass.stage == EnvelopeStage::Decay; }, 10000);
  // 10 × (0.1 × 1)² = 0.1 s.
  EXPECT_NEAR(attackSamples, 0.1 * 48000, 1.0);
}

class RetriggerHoldTest : public testing::TestWithParam<double>
{
};

TEST_P(RetriggerHoldTest, TokenChangeSilencesTheGateForOneMillisecond)
{
  const double rate = GetParam();
  EnginePtr engine = MakeEngine(rate);
  EngineSetParam(engine.get(), EngineParam::Voice00_NoteRetrig, 0.01);
  StartNote(engine.get());
  Render(engine.get(), 2000, 100);
  ASSERT_EQ(engine->bass.stage, EnvelopeStage::Decay);

  EngineSetParam(engine.get(), EngineParam::Voice00_NoteRetrig, 0.02);
  StereoBuffer scratch;
  RenderInto(engine.get(), scratch, 1, 1);
  EXPECT_EQ(engine->bass.stage, EnvelopeStage::Release) << "the held gate looks released";
  EXPECT_EQ(engine->snap.stage, EnvelopeStage::Release);
  const int restart = RenderUntil(
      engine.get(), [&] { return engine->bass.stage == EnvelopeStage::Attack; }, 1000);
  // The sample of the change was the first held one; after the others the
  // gate rises again.
  const int heldSamples = static_cast<int>(std::trunc(rate * 0.001));
  EXPECT_EQ(restart, heldSamples);
  EXPECT_EQ(engine->snap.stage, EnvelopeStage::Attack);
}

INSTANTIATE_TEST_SUITE_P(Rates, RetriggerHoldTest, testing::Values(44100.0, 48000.0));

TEST(KickEnvelope, ReleaseFromHalfLevelTakesHalfTheDecayTime)
{
  EnginePtr engine = MakeEngine(44100.0);
  EngineSetParam(engine.get(), EngineParam::BassEnvDecay, 1.0);
  StartNote(engine.get());
  const KickGenerator& bass = engine->bass;
  RenderUntil(
      engine.get(), [&] { return bass.stage == EnvelopeStage::Decay && bass.level <= 0.5; },
      200000);
  ASSERT_NEAR(bass.level, 0.5, 1e-4);

  EngineSetParam(engine.get(), EngineParam::Voice00_NoteGate, 0.0);
  StereoBuffer scratch;
  RenderInto(engine.get(), scratch, 1, 1);
  ASSERT_EQ(bass.stage, EnvelopeStage::Release);
  const double from = bass.releaseStart;
  // 2.5 s × level: the first release step is 0 (no earlier release).
  const int toZero = RenderUntil(
      engine.get(), [&] { return bass.level == 0.0; }, 200000);
  EXPECT_NEAR(toZero, 2.5 * from * 44100, 2.0);
  const int toIdle = RenderUntil(
      engine.get(), [&] { return bass.stage == EnvelopeStage::Idle; }, 400000);
  EXPECT_NEAR(toZero + toIdle, 3 * 2.5 * from * 44100, 3.0);
}

TEST(KickEnvelope, ReleaseFromAFinishedKickNeverLeavesReleaseButStaysSilent)
{
  EnginePtr engine = MakeEngine(44100.0);
  EngineSetParam(engine.get(), EngineParam::BassEnvDecay, 0.0);
  StartNote(engine.get());
  Render(engine.get(), 4000);
  ASSERT_EQ(engine->bass.stage, EnvelopeStage::Done);
  EngineSetParam(engine.get(), EngineParam::Voice00_NoteGate, 0.0);
  const StereoBuffer out = Render(engine.get(), 20000);
  EXPECT_EQ(engine->bass.stage, EnvelopeStage::Release);
  EXPECT_EQ(PeakOf(out.left), 0.0);
}

// Velocity gain through the output level: two engines, one velocity-sensitive.
double VelocityRatio(KickEngine* sensitive, KickEngine* fixed, int frames)
{
  const StereoBuffer a = Render(sensitive, frames);
  const StereoBuffer b = Render(fixed, frames);
  const double peak = PeakOf(b.left);
  return peak == 0.0 ? -1.0 : PeakOf(a.left) / peak;
}

TEST(VelocityLatch, TakesTheVelocityOnlyAtAGateRise)
{
  EnginePtr sensitive = MakeEngine();
  EnginePtr fixed = MakeEngine();
  EngineSetParam(sensitive.get(), EngineParam::VelAmpOffOn, 1.0);
  for (KickEngine* engine : {sensitive.get(), fixed.get()})
  {
    EngineSetParam(engine, EngineParam::MainVolume, 1.0);
    StartNote(engine, 127.0);
  }
  EXPECT_NEAR(VelocityRatio(sensitive.get(), fixed.get(), 256), 0.99949, 1e-12);

  // A new velocity while the gate stays up changes nothing.
  EngineSetParam(sensitive.get(), EngineParam::Voice00_NoteVelocity, 10.0);
  EXPECT_NEAR(VelocityRatio(sensitive.get(), fixed.get(), 256), 0.99949, 1e-12);
  // Nor does a retrigger without a gate fall.
  for (KickEngine* engine : {sensitive.get(), fixed.get()})
    EngineSetParam(engine, EngineParam::Voice00_NoteRetrig, 0.3);
  EXPECT_NEAR(VelocityRatio(sensitive.get(), fixed.get(), 512), 0.99949, 1e-12);

  // A gate fall and rise across block starts takes the new one.
  for (KickEngine* engine : {sensitive.get(), fixed.get()})
  {
    EngineSetParam(engine, EngineParam::Voice00_NoteGate, 0.0);
    Render(engine, 64);
    EngineSetParam(engine, EngineParam::Voice00_NoteGate, 1.0);
  }
  EXPECT_NEAR(VelocityRatio(sensitive.get(), fixed.get(), 512), 10 * 0.00787, 1e-12);
}

TEST(VelocityLatch, WithoutVelocitySensitivityTheGainIsOne)
{
  for (double velocity : {0.0, 1.0, 127.0})
  {
    EnginePtr a = MakeEngine();
    EnginePtr b = MakeEngine();
    StartNote(a.get(), velocity);
    StartNote(b.get(), 100.0);
    const StereoBuffer outA = Render(a.get(), 1024);
    const StereoBuffer outB = Render(b.get(), 1024);
    EXPECT_EQ(outA.left, outB.left) << velocity;
  }
}

TEST(KickOscillator, PitchFollowsTheEnvelopeUpToThePeak)
{
  EnginePtr engine = MakeEngine(44100.0);
  EngineSetParam(engine.get(), EngineParam::BassPitchAmt, 1.0);
  EngineSetParam(engine.get(), EngineParam::SnapPitchAmt, 0.0);
  EngineSetParam(engine.get(), EngineParam::SnapEnvDecay, 1.0);
  StartNote(engine.get());
  StereoBuffer scratch;
  int checked = 0;
  for (int n = 0; n < 3000; ++n)
  {
    const double bassBefore = engine->bass.oscPhase;
    const double snapBefore = engine->snap.oscPhase;
    RenderInto(engine.get(), scratch, 1, 1);
    if (n < 2) continue; // the first samples restart the phase
    const double bassStep = std::fmod(engine->bass.oscPhase - bassBefore + 1.0, 1.0);
    const double snapStep = std::fmod(engine->snap.oscPhase - snapBefore + 1.0, 1.0);
    ASSERT_NEAR(bassStep, engine->bass.follower * 500.0 / 44100.0, 1e-12) << n;
    ASSERT_NEAR(snapStep, engine->snap.follower * 1000.0 / 44100.0, 1e-12) << n;
    ++checked;
  }
  EXPECT_GT(checked, 2000);
}

TEST(KickVoice, SilentGateGivesExactZerosWhateverTheSound)
{
  EnginePtr engine = MakeEngine();
  for (int i = 0; i < kEngineNumParams; ++i)
    if (i != EngineParam::Voice00_NoteGate && i != EngineParam::Voice00_NoteRetrig)
      EngineSetParam(engine.get(), i, 1.0);
  const StereoBuffer out = Render(engine.get(), 44100, 500);
  for (size_t i = 0; i < out.left.size(); ++i)
    ASSERT_TRUE(out.left[i] == 0.0 && out.right[i] == 0.0) << i;
}

TEST(KickVoice, NoteNumberHasNoAudibleEffect)
{
  EnginePtr a = MakeEngine();
  EnginePtr b = MakeEngine();
  EngineSetParam(a.get(), EngineParam::Voice00_NoteNumber, 24.0);
  EngineSetParam(b.get(), EngineParam::Voice00_NoteNumber, 100.0);
  StartNote(a.get());
  StartNote(b.get());
  const StereoBuffer outA = Render(a.get(), 8000);
  const StereoBuffer outB = Render(b.get(), 8000);
  EXPECT_EQ(outA.left, outB.left);
  EXPECT_GT(PeakOf(outA.left), 0.1);
}

TEST(KickVoice, KickFromSilenceStartsOnTheFirstSampleAtTheCosinePeak)
{
  for (double rate : {22050.0, 44100.0, 96000.0})
  {
    EnginePtr engine = MakeEngine(rate);
    StartNote(engine.get());
    const StereoBuffer out = Render(engine.get(), 64);
    EXPECT_GT(out.left[0], 0.0) << rate;
    EXPECT_EQ(out.left[0], out.right[0]);
  }
}
} // namespace
