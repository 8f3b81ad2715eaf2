// Short notes in long blocks: a note whose note-on and note-off arrive in the
// same host block still sounds, through both builds of the instrument, and
// the release is not lost either.

#include "thudwerk_fixture.h"
#include "vst2_test_host.h"

#include "kick_engine.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Steinberg;

namespace
{

struct TimedMessage
{
  int frame; // from the start of the first block
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
};

struct ShortNoteCase
{
  const char* name;
  int block;
  std::vector<TimedMessage> messages;
  int noteOns;    // every one of them must reach the engine
  bool notesOnly; // the VST3 build passes on notes only
};

constexpr int kFrames = 8192;
constexpr uint8_t kOn = 0x90;
constexpr uint8_t kOff = 0x80;
constexpr uint8_t kControl = 0xB0;

struct Rendered
{
  std::vector<double> left;
  double gate = -1.0;
  double token = -1.0;
};

// The messages that fall into the block starting at frame start, with their
// offsets in that block.
template <typename Add>
void ForMessagesOfBlock(const ShortNoteCase& test, int start, Add add)
{
  for (const TimedMessage& m : test.messages)
    if (m.frame >= start && m.frame < start + test.block) add(m, m.frame - start);
}

Rendered RenderVst2(const ShortNoteCase& test)
{
  Vst2TestHost host(THUDWERK_VST2_PLUGIN_PATH);
  AEffect* effect = host.InstantiateAndStart(44100.0, test.block);
  Rendered result;
  if (!effect) return result;
  for (int start = 0; start < kFrames; start += test.block)
  {
    Vst2EventList events;
    ForMessagesOfBlock(test, start,
                       [&](const TimedMessage& m, int offset)
                       { events.AddMidi(offset, m.status, m.data1, m.data2); });
    if (events.Size() > 0) host.SendEvents(effect, events);
    AudioBuffers<double> buffers(2, 2, test.block);
    host.ProcessDoubleReplacing(effect, buffers, test.block);
    result.left.insert(result.left.end(), buffers.out[0].begin(), buffers.out[0].end());
  }
  result.gate = effect->getParameter(effect, EngineParam::Voice00_NoteGate);
  result.token = effect->getParameter(effect, EngineParam::Voice00_NoteRetrig);
  host.Close(effect);
  return result;
}

class ShortNoteTest : public ThudwerkTest, public ::testing::WithParamInterface<ShortNoteCase>
{
protected:
  Rendered RenderVst3(const ShortNoteCase& test)
  {
    Prepare(Vst::kSample64, test.block);
    ProcessBlock block(Vst::kSample64, {2}, {2}, test.block);
    Rendered result;
    for (int start = 0; start < kFrames; start += test.block)
    {
      block.Events().Clear();
      ForMessagesOfBlock(test, start,
                         [&](const TimedMessage& m, int offset)
                         {
                           if (m.status == kOn)
                             block.Events().AddNoteOn(offset, 0, m.data1, m.data2 / 127.0f);
                           else
                             block.Events().AddNoteOff(offset, 0, m.data1);
                         });
      EXPECT_EQ(processor->process(block.Data(test.block)), kResultOk);
      const std::vector<double> out = block.OutputChannel(0, 0, test.block);
      result.left.insert(result.left.end(), out.begin(), out.end());
    }
    result.gate = controller->getParamNormalized(EngineParam::Voice00_NoteGate);
    result.token = controller->getParamNormalized(EngineParam::Voice00_NoteRetrig);
    return result;
  }
};

TEST_P(ShortNoteTest, EveryNoteSoundsAndEndsInBothBuilds)
{
  const ShortNoteCase& test = GetParam();
  const Rendered vst2 = RenderVst2(test);
  ASSERT_EQ(vst2.left.size(), size_t(kFrames));
  double peak = 0.0;
  for (double sample : vst2.left)
    peak = std::max(peak, std::fabs(sample));
  // A note shorter than the engine's retrigger hold still gives a (short) kick.
  EXPECT_GT(peak, 0.1) << "no kick was heard";
  // The token moves once per note-on that reached the engine.
  EXPECT_EQ(std::lround(vst2.token * 100.0), test.noteOns);
  EXPECT_EQ(vst2.gate, 0.0) << "a release was lost";
  if (!test.notesOnly) return;
  const Rendered vst3 = RenderVst3(test);
  EXPECT_EQ(vst3.gate, vst2.gate);
  EXPECT_EQ(vst3.token, vst2.token);
  ASSERT_EQ(vst3.left.size(), vst2.left.size());
  for (size_t i = 0; i < vst2.left.size(); ++i)
    ASSERT_EQ(vst3.left[i], vst2.left[i]) << "sample " << i;
}

const ShortNoteCase kCases[] = {
    {"HalfBlockNote32", 32, {{2, kOn, 36, 127}, {18, kOff, 36, 0}}, 1, true},
    {"HalfBlockNote512", 512, {{2, kOn, 36, 127}, {258, kOff, 36, 0}}, 1, true},
    {"HalfBlockNote4096", 4096, {{2, kOn, 36, 127}, {2050, kOff, 36, 0}}, 1, true},
    {"PairThenAnotherNote",
     512,
     {{10, kOn, 36, 127}, {40, kOff, 36, 0}, {80, kOn, 38, 127}, {120, kOff, 38, 0}},
     2,
     true},
    {"VelocityZeroRelease", 1024, {{0, kOn, 36, 127}, {1, kOn, 36, 0}}, 1, false},
    {"SustainReleasedInTheSameBlock",
     1024,
     {{0, kControl, 64, 127}, {5, kOn, 36, 127}, {10, kOff, 36, 0}, {20, kControl, 64, 0}},
     1,
     false},
    {"AllNotesOffInTheSameBlock", 1024, {{5, kOn, 36, 127}, {50, kControl, 123, 0}}, 1, false},
};

INSTANTIATE_TEST_SUITE_P(Notes, ShortNoteTest, ::testing::ValuesIn(kCases),
                         [](const auto& instance) { return std::string(instance.param.name); });

} // namespace
