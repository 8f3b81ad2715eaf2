// The VST3 half of restore_through_hosts_test.cpp: the same sound survives
// getState and setState, and the host hears of the preset load.

#include "preset_sandbox.h"
#include "thudwerk_fixture.h"

#include "kick_engine.h"

#include <chrono>
#include <thread>

namespace
{
using namespace EngineParam;
using namespace Steinberg;
using namespace Steinberg::Vst;

class RestoreThroughVst3 : public ThudwerkTest
{
protected:
  // Plays blocks, a millisecond apart, with the given changes in the first,
  // until arrived answers true or maxBlocks have passed.
  template <typename Arrived>
  bool Play(std::initializer_list<std::pair<ParamID, double>> changes, Arrived arrived,
            int maxBlocks = 1000)
  {
    ProcessBlock block(kSample32, {2}, {2}, 64);
    for (const auto& change : changes)
      block.Changes().Add(change.first, 0, change.second);
    for (int i = 0; i < maxBlocks; ++i)
    {
      if (i > 0 && arrived()) return true;
      EXPECT_EQ(processor->process(block.Data(64)), kResultOk);
      block.Changes().Clear();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return arrived();
  }
  double Get(ParamID id) { return controller->getParamNormalized(id); }
  int Restarts()
  {
    int restarts = 0;
    for (const HostEdit& edit : handler->Edits())
      restarts += edit.kind == HostEdit::kRestart && edit.flags == kParamValuesChanged;
    return restarts;
  }

  // Before SetUp makes the instance, which finds its folder then.
  PresetSandbox sandbox;
};

TEST_F(RestoreThroughVst3, SetStateGivesBackTheTweakedSoundAndTheHostHearsOfLoads)
{
  ASSERT_TRUE(sandbox.Ready());
  ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("WLCM - The Deep Diver"),
                             "<BassEnvDecay>0.85</BassEnvDecay><MainVolume>0.8</MainVolume>"));
  Prepare(kSample32, 64);
  handler->Clear();
  ASSERT_TRUE(Play({{MainVolume, 0.1}, {PresetSelector, 2.0 / 10001.0}},
                   [this] { return float(Get(BassEnvDecay)) == 0.85f; }));
  EXPECT_EQ(float(Get(MainVolume)), 0.8f) << "preset files hold single precision";

  Play(
      {{BassEnvDecay, 0.9}, {MainVolume, 0.33}}, [] { return false; }, 2);
  const std::vector<char> saved = SavedState(component);
  EXPECT_GE(Restarts(), 1) << "told from the user-interface thread after the load";

  Play(
      {{BassEnvDecay, 0.1}, {MainVolume, 0.1}}, [] { return false; }, 2);
  IPtr<MemoryStream> stream = owned(new MemoryStream(saved));
  EXPECT_EQ(component->setState(stream), kResultOk);
  // Hosts resend the program after a restore; late reads would land here.
  Play(
      {{kPreset, 0.0}}, [] { return false; }, 30);
  EXPECT_EQ(Get(BassEnvDecay), 0.9);
  EXPECT_EQ(Get(MainVolume), 0.33);

  IPtr<MemoryStream> cut =
      owned(new MemoryStream(std::vector<char>(saved.begin(), saved.begin() + 20)));
  EXPECT_EQ(component->setState(cut), kResultFalse);
  EXPECT_EQ(Get(BassEnvDecay), 0.9) << "a short state changes nothing";
  EXPECT_EQ(Get(MainVolume), 0.33);
}
} // namespace
