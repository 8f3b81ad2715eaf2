// The shortcut for silent blocks against the full per-sample chain: the same
// output and the same state, bit for bit, over scenarios that enter and leave
// silence in every way the state allows.

#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
std::vector<double> GeneratorFields(const KickGenerator& g)
{
  return {g.hold,     g.prevRetrig, g.prevGate,
          g.envPhase, g.level,      g.releaseStart,
          g.follower, g.oscPhase,   static_cast<double>(g.stage)};
}

std::vector<double> ShaperFields(const TransistorShaperState& s)
{
  return {s.prevInput, s.prevMid, s.prevSample, s.dcIn, s.dcOut};
}

void ExpectSameBits(const std::vector<double>& a, const std::vector<double>& b, const char* which)
{
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i)
    EXPECT_TRUE(SameBits(a[i], b[i])) << which << " field " << i;
}

void ExpectSameState(const KickEngine& a, const KickEngine& b)
{
  ExpectSameBits(GeneratorFields(a.bass), GeneratorFields(b.bass), "bass");
  ExpectSameBits(GeneratorFields(a.snap), GeneratorFields(b.snap), "snap");
  ExpectSameBits(ShaperFields(a.shaper), ShaperFields(b.shaper), "shaper");
  EXPECT_TRUE(SameBits(a.velocity.prevGateOffset, b.velocity.prevGateOffset));
  EXPECT_TRUE(SameBits(a.velocity.heldVelocity, b.velocity.heldVelocity));
  EXPECT_TRUE(SameBits(a.reverb.inputHistory, b.reverb.inputHistory));
  for (int k = 0; k < 4; ++k)
    EXPECT_TRUE(SameBits(a.reverb.damping[k], b.reverb.damping[k])) << "damping " << k;
  for (int i = 0; i < kReverbLineCount; ++i)
  {
    const DelayLine& la = a.reverb.lines[i];
    const DelayLine& lb = b.reverb.lines[i];
    ASSERT_EQ(la.size, lb.size);
    EXPECT_EQ(la.readPos, lb.readPos) << "line " << i;
    EXPECT_EQ(la.writePos, lb.writePos) << "line " << i;
    EXPECT_EQ(std::memcmp(la.storage, lb.storage, sizeof(double) * la.size), 0) << "line " << i;
  }
}

// Runs the same steps on two engines, one always on the full chain, and
// compares every rendered sample and, after each step, the whole state.
class TwinEngines
{
public:
  TwinEngines() : fast(MakeEngine()), full(MakeEngine()) {}

  void Set(int index, double value)
  {
    EngineSetParam(fast.get(), index, value);
    EngineSetParam(full.get(), index, value);
  }

  void SetAndRender(int index, double value, int frames, int blockSize)
  {
    Set(index, value);
    Render(frames, blockSize);
  }

  void Reset(double sampleRate, int blockSize)
  {
    EngineReset(fast.get(), sampleRate, blockSize);
    EngineReset(full.get(), sampleRate, blockSize);
  }

  void Render(int frames, int blockSize)
  {
    StereoBuffer a;
    StereoBuffer b;
    ASSERT_EQ(RenderInto(fast.get(), a, frames, blockSize, RenderPath::Automatic), 0);
    ASSERT_EQ(RenderInto(full.get(), b, frames, blockSize, RenderPath::FullChain), 0);
    ASSERT_EQ(a.left.size(), b.left.size());
    for (size_t i = 0; i < a.left.size(); ++i)
    {
      ASSERT_TRUE(SameBits(a.left[i], b.left[i])) << "left " << i;
      ASSERT_TRUE(SameBits(a.right[i], b.right[i])) << "right " << i;
    }
    ExpectSameState(*fast, *full);
  }

  EnginePtr fast;
  EnginePtr full;
};

TEST(SilentPath, SilenceFromResetWithEveryReverbSetting)
{
  for (double rev : {0.0, 0.5, 1.0})
  {
    TwinEngines twins;
    twins.Set(EngineParam::ReverbOffOn, rev);
    twins.SetAndRender(EngineParam::TransistorDistLoad, 0.4, 70000, 512);
    twins.Render(0, 1);
    twins.Render(333, 1);
  }
}

TEST(SilentPath, KickThenReleaseThenLongSilence)
{
  for (double rev : {0.0, 1.0})
  {
    TwinEngines twins;
    twins.Set(EngineParam::ReverbOffOn, rev);
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 1.0, 5000, 256);
    // The release passes level 0 long before it ends (h from 1 to 3).
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 0.0, 100000, 256);
    // Held past the end of the decay, then released from level 0: a release
    // that never ends but is silent.
    twins.Set(EngineParam::BassEnvDecay, 0.0);
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 1.0, 44100, 1024);
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 0.0, 80000, 1024);
  }
}

TEST(SilentPath, ReverbSwitchedOffAndOnAroundATail)
{
  // Short kicks: the voice is at rest long before the reverb tail is.
  TwinEngines twins;
  twins.Set(EngineParam::BassEnvDecay, 0.0);
  twins.Set(EngineParam::ReverbOffOn, 1.0);
  twins.SetAndRender(EngineParam::Voice00_NoteGate, 1.0, 3000, 300);
  twins.SetAndRender(EngineParam::Voice00_NoteGate, 0.0, 40000, 300);
  // Off for less than a line length: the lines are not all clean yet.
  twins.SetAndRender(EngineParam::ReverbOffOn, 0.0, 30000, 4096);
  twins.SetAndRender(EngineParam::ReverbOffOn, 1.0, 10000, 4096);
  // Off for longer than the longest line, then on again from silence.
  twins.SetAndRender(EngineParam::ReverbOffOn, 0.0, 70000, 700);
  twins.SetAndRender(EngineParam::ReverbOffOn, 1.0, 20000, 700);
  twins.SetAndRender(EngineParam::ReverbOffOn, 0.5, 5000, 1);
}

TEST(SilentPath, DistortionSwitchedWhileItsDcBlockerStillDecays)
{
  TwinEngines twins;
  twins.Set(EngineParam::BassEnvDecay, 0.0);
  twins.Set(EngineParam::TransistorDistLoad, 0.8);
  twins.SetAndRender(EngineParam::Voice00_NoteGate, 1.0, 2000, 128);
  twins.SetAndRender(EngineParam::Voice00_NoteGate, 0.0, 40000, 1000);
  twins.SetAndRender(EngineParam::TransistorDistLoad, 0.0, 20000, 1000);
  twins.SetAndRender(EngineParam::TransistorDistLoad, 0.3, 3000, 1000);
  twins.Set(EngineParam::TransistorDistLoad, 0.0);
  twins.SetAndRender(EngineParam::ReverbOffOn, 1.0, 3000, 1000);
}

TEST(SilentPath, PendingTokenChangesAndOddGateValues)
{
  TwinEngines twins;
  twins.Render(1000, 100);
  // A token change with the gate low still counts down its hold.
  twins.SetAndRender(EngineParam::Voice00_NoteRetrig, 0.25, 10, 10);
  twins.Render(100, 7);
  // Negative zeros keep their sign through the chain.
  twins.SetAndRender(EngineParam::Voice00_NoteRetrig, -0.0, 200, 64);
  twins.Set(EngineParam::MainVolume, -0.0);
  twins.Set(EngineParam::BassAmpLevel, -0.0);
  twins.SetAndRender(EngineParam::SnapAmpLevel, -0.0, 200, 64);
  twins.SetAndRender(EngineParam::ReverbOffOn, 1.0, 200, 64);
  twins.SetAndRender(EngineParam::Voice00_NoteGate, -0.0, 200, 64);
  twins.SetAndRender(EngineParam::Voice00_NoteGate, 0.3, 500, 64);
  twins.SetAndRender(EngineParam::Voice00_NoteGate, 0.0, 500, 64);
}

// The snap comes to rest long before the bass and is then skipped; kicks
// that retrigger, release and hold it in every stage must not notice.
TEST(SilentPath, ARestingGeneratorIsSkippedWhileTheOtherSounds)
{
  for (double rev : {0.0, 1.0})
  {
    TwinEngines twins;
    twins.Set(EngineParam::ReverbOffOn, rev);
    twins.Set(EngineParam::BassEnvDecay, 1.0);
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 1.0, 3000, 64);
    EXPECT_TRUE(GeneratorResting(twins.fast->snap, 0.0, 1.0)) << "the snap rests";
    EXPECT_FALSE(GeneratorResting(twins.fast->bass, 0.0, 1.0)) << "while the bass sounds";
    twins.SetAndRender(EngineParam::Voice00_NoteRetrig, 0.01, 4000, 100);
    twins.SetAndRender(EngineParam::SnapEnvDecay, 1.0, 2000, 333);
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 0.0, 8000, 64);
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 1.0, 30, 7);
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 0.0, 40000, 512);
  }
}

TEST(SilentPath, ChangingSampleRatesAndResets)
{
  TwinEngines twins;
  for (double rate : {96000.0, 8000.0, 44100.0})
  {
    twins.Reset(rate, 256);
    twins.Set(EngineParam::ReverbOffOn, 1.0);
    twins.SetAndRender(EngineParam::Voice00_NoteGate, 1.0, 2000, 256);
    twins.Set(EngineParam::Voice00_NoteGate, 0.0);
    twins.SetAndRender(EngineParam::ReverbOffOn, 0.0, 20000, 2048);
  }
}
} // namespace
