// The whole chain against the step-by-step reference, bit for bit, under
// random sequences of notes, retriggers and sound changes between blocks.

#include "engine_test_support.h"
#include "reference_kick.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace
{
struct ChainCase
{
  double sampleRate;
  double resetRate; // the rate of a reset after creation
  unsigned seed;
  bool reverbAllowed;
};

class KickChainTest : public testing::TestWithParam<ChainCase>
{
};

TEST_P(KickChainTest, MatchesTheReferenceBitForBit)
{
  const ChainCase& c = GetParam();
  EnginePtr engine = MakeEngine(c.sampleRate);
  ASSERT_NE(engine, nullptr);
  EngineReset(engine.get(), c.resetRate, 512);
  auto ref = std::make_unique<reference::Kick>(c.sampleRate, c.resetRate);

  std::mt19937 random(c.seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  auto set = [&](int index, double value)
  {
    EngineSetParam(engine.get(), index, value);
    ref->Set(index, value);
  };
  const int soundParams[] = {EngineParam::BassAmpLevel,       EngineParam::BassEnvAttack,
                             EngineParam::BassEnvDecay,       EngineParam::BassPitchAmt,
                             EngineParam::MainVolume,         EngineParam::SnapAmpLevel,
                             EngineParam::SnapEnvDecay,       EngineParam::SnapPitchAmt,
                             EngineParam::TransistorDistLoad, EngineParam::VelAmpOffOn};

  std::vector<double> expectedLeft;
  std::vector<double> expectedRight;
  StereoBuffer rendered;
  double token = 0.0;
  for (int block = 0; block < 160; ++block)
  {
    const double dice = unit(random);
    if (dice < 0.15)
      set(EngineParam::Voice00_NoteGate, unit(random) < 0.6 ? 1.0 : 0.0);
    else if (dice < 0.25)
    {
      token = token >= 0.99 ? 0.0 : token + 0.01;
      set(EngineParam::Voice00_NoteRetrig, token);
    }
    else if (dice < 0.3)
      set(EngineParam::Voice00_NoteVelocity, std::floor(unit(random) * 128));
    else if (dice < 0.45)
    {
      const int index = soundParams[static_cast<int>(unit(random) * 10)];
      // Some exact ends of the ranges, which switch stages on and off.
      const double pick = unit(random);
      set(index, pick < 0.2 ? 0.0 : (pick > 0.9 ? 1.0 : unit(random)));
    }
    else if (dice < 0.5 && c.reverbAllowed)
    {
      const double pick = unit(random);
      set(EngineParam::ReverbOffOn, pick < 0.4 ? 0.0 : (pick < 0.8 ? 1.0 : unit(random)));
    }
    const int frames = static_cast<int>(unit(random) * 700);
    ref->Block(frames, expectedLeft, expectedRight);
    ASSERT_EQ(RenderInto(engine.get(), rendered, frames, frames > 0 ? frames : 1), 0);
  }
  ASSERT_EQ(rendered.left.size(), expectedLeft.size());
  double loudest = 0.0;
  for (size_t i = 0; i < expectedLeft.size(); ++i)
  {
    ASSERT_TRUE(SameBits(rendered.left[i], expectedLeft[i]))
        << "left sample " << i << ": " << rendered.left[i] << " vs " << expectedLeft[i];
    ASSERT_TRUE(SameBits(rendered.right[i], expectedRight[i]))
        << "right sample " << i << ": " << rendered.right[i] << " vs " << expectedRight[i];
    loudest = std::max(loudest, std::fabs(expectedLeft[i]));
  }
  EXPECT_GT(loudest, 0.05) << "the sequence must actually play kicks";
}

INSTANTIATE_TEST_SUITE_P(
    Rates, KickChainTest,
    testing::Values(ChainCase{44100.0, 44100.0, 1, false}, ChainCase{44100.0, 44100.0, 2, true},
                    ChainCase{48000.0, 48000.0, 3, true}, ChainCase{96000.0, 96000.0, 4, true},
                    ChainCase{22050.0, 22050.0, 5, true}, ChainCase{44100.0, 96000.0, 6, true},
                    ChainCase{48000.0, 8000.0, 7, true},
                    // Below 1 kHz a token change holds the gate low for no
                    // sample and the follower falls in one step.
                    ChainCase{500.0, 500.0, 8, true}, ChainCase{44100.0, 900.0, 10, true}));
} // namespace
