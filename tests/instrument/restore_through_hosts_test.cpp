// The sound a user made from a preset survives every way hosts save and
// restore it, in both plug-in formats: choose a preset (by automation, so
// the file is read off the audio thread), turn two knobs, save, change,
// restore.

#include "kick_engine.h"
#include "preset_sandbox.h"
#include "vst2_test_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace
{
using namespace EngineParam;

// The Deep Diver (catalogue index 1) as the measured report had it.
constexpr float kPresetDecay = 0.85f;
constexpr float kPresetVolume = 0.8f;
constexpr float kTweakedDecay = 0.9f;
constexpr float kTweakedVolume = 0.33f;
// PresetSelector spans -1 to 10000.
constexpr double kDeepDiverSelector = 2.0 / 10001.0;

bool InstallDeepDiver(const PresetSandbox& sandbox)
{
  return WriteFileBytes(sandbox.FactoryFile("WLCM - The Deep Diver"),
                        "<BassEnvDecay>0.85</BassEnvDecay><MainVolume>0.8</MainVolume>");
}

class RestoreThroughVst2 : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready() && InstallDeepDiver(sandbox));
    effect = host.InstantiateAndStart(44100.0, 64);
    ASSERT_NE(effect, nullptr);
    effect->setParameter(effect, MainVolume, 0.1f);
    effect->setParameter(effect, PresetSelector, float(kDeepDiverSelector));
    ASSERT_TRUE(host.PlayUntil(effect, [this] { return Get(BassEnvDecay) == kPresetDecay; }));
    ASSERT_EQ(Get(MainVolume), kPresetVolume);
    Set(kTweakedDecay, kTweakedVolume);
  }
  float Get(int index) { return effect->getParameter(effect, index); }
  void Set(float decay, float volume)
  {
    effect->setParameter(effect, BassEnvDecay, decay);
    effect->setParameter(effect, MainVolume, volume);
  }
  void ExpectTweaked(const char* how)
  {
    // Anything read late would arrive within these blocks.
    host.PlayUntil(
        effect, [] { return false; }, 30);
    EXPECT_EQ(Get(BassEnvDecay), kTweakedDecay) << how;
    EXPECT_EQ(Get(MainVolume), kTweakedVolume) << how;
  }
  std::vector<char> Chunk()
  {
    void* data = nullptr;
    const VstIntPtr size = host.Dispatch(effect, effGetChunk, 1, 0, &data);
    return size > 0 ? std::vector<char>(static_cast<char*>(data), static_cast<char*>(data) + size)
                    : std::vector<char>();
  }
  VstIntPtr Restore(std::vector<char> chunk)
  {
    return host.Dispatch(effect, effSetChunk, 1, VstIntPtr(chunk.size()), chunk.data());
  }

  PresetSandbox sandbox;
  Vst2TestHost host{THUDWERK_VST2_PLUGIN_PATH};
  AEffect* effect = nullptr;
};

TEST_F(RestoreThroughVst2, EveryRestoreGivesBackTheTweakedSound)
{
  const std::vector<char> saved = Chunk();
  ASSERT_EQ(saved.size(), 8u + 27u * 8u);
  std::vector<float> values;
  for (int i = 0; i < effect->numParams; ++i)
    values.push_back(Get(i));

  Set(0.1f, 0.1f);
  EXPECT_EQ(Restore(saved), 1);
  ExpectTweaked("effSetChunk");

  Set(0.1f, 0.1f);
  for (int i = 0; i < effect->numParams; ++i)
    effect->setParameter(effect, i, values[size_t(i)]);
  ExpectTweaked("every parameter written back");

  EXPECT_EQ(host.Dispatch(effect, effSetProgram, 0, 0), 0);
  ExpectTweaked("effSetProgram of the current program");
}

TEST_F(RestoreThroughVst2, ShortOrDamagedChunksChangeNothing)
{
  std::vector<char> saved = Chunk();
  std::vector<char> damaged = saved;
  damaged[0] = 'x';
  for (const std::vector<char>& chunk :
       {std::vector<char>(saved.begin(), saved.begin() + 100),
        std::vector<char>(saved.begin(), saved.end() - 1), damaged})
  {
    Set(0.1f, 0.2f);
    EXPECT_EQ(Restore(chunk), 0) << chunk.size();
    EXPECT_EQ(Get(BassEnvDecay), 0.1f) << chunk.size();
    EXPECT_EQ(Get(MainVolume), 0.2f) << chunk.size();
  }
}
} // namespace
