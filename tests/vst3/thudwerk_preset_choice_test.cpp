// Preset choices from the host, through both plug-ins as hosts drive them:
// the VST2 binary through its AEffect, Thudwerk.vst3 through process with
// the controller told each value first. A preset lands in the block it
// arrives in, what comes right after it wins, a resent value changes
// nothing, and no value displays as a negative zero.

#include "preset_sandbox.h"
#include "thudwerk_fixture.h"
#include "vst2_test_host.h"

#include "kick_engine.h"

#include <cmath>
#include <string>
#include <vector>

namespace
{
using namespace EngineParam;
using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr int kBlock = 64;
// PresetSelector spans -1 to 10000.
constexpr double kDiverChoice = 2.0 / 10001.0;  // index 1
constexpr double kDanceAChoice = 3.0 / 10001.0; // index 2
// The two presets' BassEnvDecay and MainVolume, exact in single precision.
constexpr float kDiverDecay = 0.875f, kDiverVolume = 0.625f;
constexpr float kDanceADecay = 0.25f, kDanceAVolume = 0.375f;

enum class Format
{
  kVst2,
  kVst3,
};

class PresetChoiceTest : public ThudwerkTest, public ::testing::WithParamInterface<Format>
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("WLCM - The Deep Diver"),
                               "<BassEnvDecay>0.875</BassEnvDecay><MainVolume>0.625</MainVolume>"));
    ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("EDM - 1990s Dance A"),
                               "<BassEnvDecay>0.25</BassEnvDecay><MainVolume>0.375</MainVolume>"));
    // Both instances are made after the files exist.
    ThudwerkTest::SetUp();
    Prepare(kSample64, kBlock);
    effect = vst2.InstantiateAndStart(44100.0, kBlock);
    ASSERT_NE(effect, nullptr);
  }
  void TearDown() override
  {
    if (effect) vst2.Close(effect);
    ThudwerkTest::TearDown();
  }

  bool IsVst2() const { return GetParam() == Format::kVst2; }
  // An automation point, in effect from the next block.
  void Automate(int index, double normalized)
  {
    if (IsVst2())
    {
      effect->setParameter(effect, index, float(normalized));
      return;
    }
    controller->setParamNormalized(ParamID(index), normalized);
    block.Changes().Add(ParamID(index), 0, normalized);
  }
  void NoteOn()
  {
    if (IsVst2())
    {
      Vst2EventList events;
      events.AddMidi(0, 0x90, 36, 100);
      vst2.SendEvents(effect, events);
      return;
    }
    block.Events().AddNoteOn(0, 0, 36, 0.8f);
  }
  void Play(int blocks = 1)
  {
    for (int i = 0; i < blocks; ++i)
    {
      if (IsVst2())
      {
        AudioBuffers<double> buffers(2, 2, kBlock);
        vst2.ProcessDoubleReplacing(effect, buffers, kBlock);
        continue;
      }
      EXPECT_EQ(processor->process(block.Data(kBlock)), kResultOk);
      block.Changes().Clear();
      block.Events().Clear();
    }
  }
  // Normalized, in single precision as VST2 reports it.
  float Get(int index)
  {
    return IsVst2() ? effect->getParameter(effect, index)
                    : float(controller->getParamNormalized(ParamID(index)));
  }
  std::vector<char> State()
  {
    if (!IsVst2()) return SavedState(component);
    void* data = nullptr;
    const VstIntPtr size = vst2.Dispatch(effect, effGetChunk, 1, 0, &data);
    return std::vector<char>(static_cast<char*>(data), static_cast<char*>(data) + size);
  }
  void Restore(std::vector<char> state)
  {
    if (!IsVst2())
    {
      EXPECT_EQ(component->setState(owned(new MemoryStream(state))), kResultOk);
      return;
    }
    EXPECT_EQ(vst2.Dispatch(effect, effSetChunk, 1, VstIntPtr(state.size()), state.data()), 1);
  }
  // The text a host shows for a normalized value.
  std::string Display(int index, double normalized)
  {
    if (IsVst2())
    {
      // The query for a value other than the current one (PresetSelector's
      // current value rests at 0).
      char text[64] = {};
      EXPECT_EQ(vst2.Dispatch(effect, effVendorSpecific, effGetParamDisplay, index, text,
                              float(normalized)),
                0xBEEF);
      return text;
    }
    String128 text{};
    EXPECT_EQ(controller->getParamStringByValue(ParamID(index), normalized, text), kResultOk);
    std::string narrow;
    for (int i = 0; i < 128 && text[i]; ++i)
      narrow += char(text[i]);
    return narrow;
  }

  PresetSandbox sandbox;
  Vst2TestHost vst2{THUDWERK_VST2_PLUGIN_PATH};
  AEffect* effect = nullptr;
  ProcessBlock block{kSample64, {2}, {2}, kBlock};
};

enum class After
{
  kNothing,
  kAutomation, // BassEnvDecay automated in the next block
  kRestore,    // a state saved before the choice, restored right after it
};

struct AfterChoiceCase
{
  After after;
  float decay;
  float volume;
};

TEST_P(PresetChoiceTest, PresetLandsInItsBlockAndWhatComesNextWins)
{
  const AfterChoiceCase cases[] = {
      {After::kNothing, kDiverDecay, kDiverVolume},
      {After::kAutomation, 0.125f, kDiverVolume},
      {After::kRestore, 0.5f, 0.75f},
  };
  for (const AfterChoiceCase& c : cases)
  {
    Automate(BassEnvDecay, 0.5);
    Automate(MainVolume, 0.75);
    Play();
    const std::vector<char> before = State();
    Automate(PresetSelector, kDiverChoice);
    Play();
    EXPECT_EQ(Get(BassEnvDecay), kDiverDecay) << "in the block it arrived in";
    EXPECT_EQ(Get(MainVolume), kDiverVolume) << "in the block it arrived in";
    if (c.after == After::kAutomation) Automate(BassEnvDecay, 0.125);
    if (c.after == After::kRestore) Restore(before);
    Play(100);
    EXPECT_EQ(Get(BassEnvDecay), c.decay) << int(c.after);
    EXPECT_EQ(Get(MainVolume), c.volume) << int(c.after);
    // The next case chooses the same preset again as a new value.
    Automate(PresetSelector, 0.0);
    Play();
  }
}

TEST_P(PresetChoiceTest, ResentSelectorValueNeitherCutsTheNoteNorReloads)
{
  Automate(PresetSelector, kDiverChoice);
  Play();
  NoteOn();
  Automate(BassEnvDecay, 0.125);
  Play();
  ASSERT_EQ(Get(Voice00_NoteGate), 1.0f);

  Automate(PresetSelector, kDiverChoice); // a loop or the transport starting again
  Play();
  EXPECT_EQ(Get(Voice00_NoteGate), 1.0f) << "the note sounds on";
  EXPECT_EQ(Get(BassEnvDecay), 0.125f) << "the preset is not loaded again";

  Automate(PresetSelector, kDanceAChoice);
  Play();
  EXPECT_EQ(Get(Voice00_NoteGate), 0.0f) << "a new choice forgets the notes";
  EXPECT_EQ(Get(BassEnvDecay), kDanceADecay);
  EXPECT_EQ(Get(MainVolume), kDanceAVolume);
}

bool IsNegativeZero(const std::string& text)
{
  return text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos;
}

TEST_P(PresetChoiceTest, NoValueDisplaysAsNegativeZero)
{
  std::unique_ptr<KickEngine, void (*)(KickEngine*)> engine(EngineCreate(44100.0), &EngineDestroy);
  for (int index = 0; index < kEngineNumParams; ++index)
  {
    const EngineParamInfo* info = EngineGetParamInfo(engine.get(), index);
    const double zero = info->outputMin < 0.0 && info->outputMax > 0.0
                            ? -info->outputMin / (info->outputMax - info->outputMin)
                            : 0.0;
    // Near the zero in double and, as VST2 hosts send, in single precision.
    const float single = float(zero);
    std::vector<double> near = {double(std::nextafter(single, 0.0f)), double(single),
                                double(std::nextafter(single, 1.0f))};
    for (double offset : {-1e-6, -1e-9, -1e-12, -1e-15, 0.0, 1e-15, 1e-12, 1e-9})
      near.push_back(std::min(1.0, std::max(0.0, zero + offset)));
    for (double normalized : near)
    {
      const std::string text = Display(index, normalized);
      EXPECT_FALSE(IsNegativeZero(text)) << info->name << " at " << normalized << ": " << text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, PresetChoiceTest,
                         ::testing::Values(Format::kVst2, Format::kVst3));
} // namespace
