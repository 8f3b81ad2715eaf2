#include "kick_engine.h"
#include "preset_catalogue.h"
#include "preset_file.h"
#include "preset_sandbox.h"
#include "vst2_test_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{
using namespace EngineParam;

// File order of the ten values.
constexpr int kBassAmpLevel = 0;
constexpr int kBassEnvAttack = 1;
constexpr int kBassEnvDecay = 2;
constexpr int kBassPitchAmt = 3;
constexpr int kReverbOffOn = 5;
constexpr int kSnapAmpLevel = 6;
constexpr int kSnapEnvDecay = 7;
constexpr int kTransistorDistLoad = 9;

struct FactoryPreset
{
  int index;
  std::string name;
  std::string path;
};

std::vector<FactoryPreset> FactoryPresets()
{
  std::vector<FactoryPreset> presets;
  for (int index = kFirstPresetIndex; index < kFirstUserPresetIndex; ++index)
  {
    char name[64] = {};
    char relative[128] = {};
    EXPECT_TRUE(PresetName(index, name, sizeof(name)));
    EXPECT_TRUE(PresetRelativePath(index, relative, sizeof(relative)));
    presets.push_back({index, name, std::string(THUDWERK_PRESET_SOURCE_DIR) + "/" + relative});
  }
  return presets;
}

bool Contains(const std::string& text, const char* part)
{
  return text.find(part) != std::string::npos;
}

PresetFileValues ReadValues(const std::string& path)
{
  std::string line;
  EXPECT_EQ(ReadPresetLastLine(path, line), PresetFileRead::kRead) << path;
  return ParsePresetLine(line);
}
} // namespace

TEST(FactoryPresets, EveryFactoryPresetIsACompleteWellFormedFile)
{
  const std::vector<FactoryPreset> presets = FactoryPresets();
  ASSERT_EQ(presets.size(), 46u);
  for (const FactoryPreset& preset : presets)
  {
    std::string line;
    ASSERT_EQ(ReadPresetLastLine(preset.path, line), PresetFileRead::kRead) << preset.name;
    const PresetFileValues values = ParsePresetLine(line);
    for (int i = 0; i < kPresetFileParams; ++i)
    {
      ASSERT_TRUE(values.found[i]) << preset.name << " " << kPresetFileTags[i].name;
      EXPECT_GE(values.value[i], 0.0) << preset.name << " " << kPresetFileTags[i].name;
      EXPECT_LE(values.value[i], 1.0) << preset.name << " " << kPresetFileTags[i].name;
    }
    // Written by the instrument's own writer: the file is exactly what saving
    // these values gives.
    EXPECT_EQ(line, PresetFileText(values.value)) << preset.name;
  }
}

TEST(FactoryPresets, SoundsFollowTheirNames)
{
  for (const FactoryPreset& preset : FactoryPresets())
  {
    const PresetFileValues sound = ReadValues(preset.path);
    const double* v = sound.value;
    const std::string& name = preset.name;
    // In between, the reverb switch only boosts; the room is on at 1.
    EXPECT_TRUE(v[kReverbOffOn] == 0.0 || v[kReverbOffOn] == 1.0) << name;
    EXPECT_GT(v[kBassAmpLevel], 0.5) << name << " has a body";
    if (Contains(name, "Room"))
    {
      EXPECT_EQ(v[kReverbOffOn], 1.0) << name;
    }
    if (Contains(name, "Processed") || Contains(name, "Proc ") || Contains(name, "Hard"))
    {
      EXPECT_GE(v[kTransistorDistLoad], 0.5) << name << " is driven";
    }
    if (Contains(name, "Long Tail") || Contains(name, "Deep Diver"))
    {
      EXPECT_GE(v[kBassEnvDecay], 0.85) << name << " is long";
      EXPECT_LE(v[kBassPitchAmt], 0.15) << name << " is deep";
    }
    if (Contains(name, "Electro Bass"))
    {
      EXPECT_GE(v[kBassEnvDecay], 0.65) << name;
      EXPECT_LE(v[kBassPitchAmt], 0.25) << name;
    }
    if (Contains(name, "The Snap"))
    {
      EXPECT_EQ(v[kSnapAmpLevel], 1.0) << name;
      EXPECT_GE(v[kSnapEnvDecay], 0.3) << name;
      EXPECT_LE(v[kBassEnvDecay], 0.4) << name << " keeps the body short";
    }
    if (Contains(name, "Delayed"))
    {
      EXPECT_GE(v[kBassEnvAttack], 0.5) << name << " swells in";
    }
  }
}

class FactoryPresetThroughVst2 : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    for (const FactoryPreset& preset : FactoryPresets())
    {
      std::error_code error;
      std::filesystem::copy_file(preset.path, sandbox.FactoryFile(preset.name), error);
      ASSERT_FALSE(error) << preset.name;
    }
    ASSERT_TRUE(host.Library().IsLoaded()) << host.Library().LoadError();
  }

  AEffect* Start()
  {
    AEffect* effect = host.InstantiateAndStart(44100.0, 512);
    EXPECT_NE(effect, nullptr);
    return effect;
  }

  // The first frames of a kick at note 36.
  std::vector<double> Kick(AEffect* effect)
  {
    Vst2EventList events;
    events.AddMidi(0, 0x90, 36, 100);
    host.SendEvents(effect, events);
    std::vector<double> left;
    for (int block = 0; block < 8; ++block)
    {
      AudioBuffers<double> buffers(2, 2, 512);
      host.ProcessDoubleReplacing(effect, buffers, 512);
      left.insert(left.end(), buffers.out[0].begin(), buffers.out[0].end());
    }
    return left;
  }

  // Both instances are created after the folder exists.
  PresetSandbox sandbox;
  Vst2TestHost host{THUDWERK_VST2_PLUGIN_PATH};
};

TEST_F(FactoryPresetThroughVst2, SelectingAPresetSetsItsSound)
{
  AEffect* plain = Start();
  AEffect* loaded = Start();
  ASSERT_TRUE(plain && loaded);
  const int index = 13; // EDM - Hard Trance B
  char name[64] = {};
  ASSERT_TRUE(PresetName(index, name, sizeof(name)));
  const PresetFileValues sound = ReadValues(sandbox.FactoryFile(name));

  // PresetSelector spans -1 to 10000.
  loaded->setParameter(loaded, PresetSelector, float((index + 1) / 10001.0));
  // Held in memory since the instance was made: there at once.
  for (int i = 0; i < kPresetFileParams; ++i)
  {
    EXPECT_EQ(loaded->getParameter(loaded, kPresetFileTags[i].paramIdx), float(sound.value[i]))
        << kPresetFileTags[i].name;
  }
  EXPECT_EQ(loaded->getParameter(loaded, PresetSelector), float(1.0 / 10001.0)) << "rests at 0";
  EXPECT_NE(Kick(loaded), Kick(plain));
}

TEST_F(FactoryPresetThroughVst2, EditorIsDoubleScale)
{
  AEffect* effect = Start();
  ASSERT_NE(effect, nullptr);
  EXPECT_NE(effect->flags & effFlagsHasEditor, 0);
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effect, effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 1000);
  EXPECT_EQ(rect->bottom - rect->top, 960);
}
