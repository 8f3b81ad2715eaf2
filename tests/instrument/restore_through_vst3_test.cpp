// The VST3 half of the restores in host_threads_test.cpp: a preset chosen by
// automation, two knobs turned, getState, a change, setState and the
// program resent give back the turned knobs; the host hears of the load.

#include "preset_sandbox.h"
#include "thudwerk_fixture.h"

#include "kick_engine.h"

#include <algorithm>
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
  // Blocks a millisecond apart, the changes in the first, until BassEnvDecay
  // reads decay in single precision (true) or 500 blocks have passed.
  bool Play(std::initializer_list<std::pair<ParamID, double>> changes, float decay = -1.0f)
  {
    ProcessBlock block(kSample32, {2}, {2}, 64);
    for (const auto& change : changes)
      block.Changes().Add(change.first, 0, change.second);
    for (int i = 0; i < 500 && float(Get(BassEnvDecay)) != decay; ++i)
    {
      EXPECT_EQ(processor->process(block.Data(64)), kResultOk);
      block.Changes().Clear();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return float(Get(BassEnvDecay)) == decay;
  }
  double Get(ParamID id) { return controller->getParamNormalized(id); }
  IPtr<MemoryStream> Stream(std::vector<char> bytes) { return owned(new MemoryStream(bytes)); }

  PresetSandbox sandbox; // before SetUp makes the instance, which finds its folder then
};

TEST_F(RestoreThroughVst3, SetStateGivesBackTheTweakedSoundAndTheHostHearsOfLoads)
{
  ASSERT_TRUE(sandbox.Ready());
  ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("WLCM - The Deep Diver"),
                             "<BassEnvDecay>0.85</BassEnvDecay><MainVolume>0.8</MainVolume>"));
  Prepare(kSample32, 64);
  handler->Clear();
  ASSERT_TRUE(Play({{MainVolume, 0.1}, {PresetSelector, 2.0 / 10001.0}}, 0.85f));
  EXPECT_EQ(float(Get(MainVolume)), 0.8f) << "preset files hold single precision";

  Play({{BassEnvDecay, 0.9}, {MainVolume, 0.33}}, 0.9f);
  const std::vector<char> saved = SavedState(component);
  const std::vector<HostEdit> edits = handler->Edits();
  EXPECT_EQ(std::count_if(edits.begin(), edits.end(),
                          [](const HostEdit& edit) {
                            return edit.kind == HostEdit::kRestart &&
                                   edit.flags == kParamValuesChanged;
                          }),
            1)
      << "told from the user-interface thread after the load";

  Play({{BassEnvDecay, 0.1}, {MainVolume, 0.1}}, 0.1f);
  EXPECT_EQ(component->setState(Stream(saved)), kResultOk);
  EXPECT_FALSE(Play({{kPreset, 0.0}}, 0.85f)) << "hosts resend the program; nothing is read";
  EXPECT_EQ(Get(BassEnvDecay), 0.9);
  EXPECT_EQ(Get(MainVolume), 0.33);

  EXPECT_EQ(component->setState(Stream({saved.begin(), saved.begin() + 20})), kResultFalse);
  EXPECT_EQ(Get(BassEnvDecay), 0.9) << "a short state changes nothing";
  EXPECT_EQ(Get(MainVolume), 0.33);
}
} // namespace
