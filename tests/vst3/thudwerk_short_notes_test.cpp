// A note released in the block of its note-on, or within the engine's
// retrigger hold, still sounds through both builds, and its release is kept.

#include "thudwerk_fixture.h"
#include "vst2_test_host.h"

#include "kick_engine.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;

namespace
{
struct Message
{
  int frame; // from the start of the first block
  uint8_t status, data1, data2;
};
struct ShortNoteCase
{
  const char* name;
  int block;
  std::vector<Message> messages;
  int noteOns;
};
constexpr int kFrames = 8192;

// The messages of the block starting at frame start, with their offsets.
template <typename Add>
void ForBlock(const ShortNoteCase& test, int start, Add add)
{
  for (const Message& m : test.messages)
    if (m.frame >= start && m.frame < start + test.block) add(m, m.frame - start);
}

class ShortNoteTest : public ThudwerkTest, public ::testing::WithParamInterface<ShortNoteCase>
{
};

TEST_P(ShortNoteTest, EveryNoteSoundsAndEnds)
{
  const ShortNoteCase& test = GetParam();
  Vst2TestHost vst2(THUDWERK_VST2_PLUGIN_PATH);
  AEffect* effect = vst2.InstantiateAndStart(44100.0, test.block);
  ASSERT_NE(effect, nullptr);
  Prepare(Vst::kSample64, test.block);
  ProcessBlock block(Vst::kSample64, {2}, {2}, test.block);
  // The VST3 build passes on notes only.
  const bool notesOnly = std::all_of(test.messages.begin(), test.messages.end(),
                                     [](const Message& m) { return m.status != 0xB0; });
  double peak = 0.0;
  for (int start = 0; start < kFrames; start += test.block)
  {
    Vst2EventList events;
    block.Events().Clear();
    ForBlock(test, start,
             [&](const Message& m, int offset)
             {
               events.AddMidi(offset, m.status, m.data1, m.data2);
               if (m.status == 0x90) block.Events().AddNoteOn(offset, 0, m.data1, m.data2 / 127.0f);
               if (m.status == 0x80) block.Events().AddNoteOff(offset, 0, m.data1);
             });
    if (events.Size() > 0) vst2.SendEvents(effect, events);
    AudioBuffers<double> out(2, 2, test.block);
    vst2.ProcessDoubleReplacing(effect, out, test.block);
    ASSERT_EQ(processor->process(block.Data(test.block)), kResultOk);
    for (int i = 0; i < test.block; ++i)
    {
      peak = std::max(peak, std::fabs(out.out[0][i]));
      if (notesOnly)
      {
        ASSERT_EQ(block.Output(0, 0, i), out.out[0][i]) << "frame " << start + i;
      }
    }
  }
  // A note shorter than the hold gives a short kick, the others a full one.
  EXPECT_GT(peak, 0.1) << "no kick was heard";
  EXPECT_EQ(effect->getParameter(effect, EngineParam::Voice00_NoteGate), 0.0f) << "release lost";
  EXPECT_EQ(std::lround(effect->getParameter(effect, EngineParam::Voice00_NoteRetrig) * 100),
            test.noteOns);
  vst2.Close(effect);
}

const ShortNoteCase kCases[] = {
    {"HalfBlock32", 32, {{2, 0x90, 36, 127}, {18, 0x80, 36, 0}}, 1},
    {"HalfBlock512", 512, {{2, 0x90, 36, 127}, {258, 0x80, 36, 0}}, 1},
    {"HalfBlock4096", 4096, {{2, 0x90, 36, 127}, {2050, 0x80, 36, 0}}, 1},
    {"PairThenAnotherNote",
     512,
     {{10, 0x90, 36, 127}, {40, 0x80, 36, 0}, {80, 0x90, 38, 127}, {120, 0x80, 38, 0}},
     2},
    {"VelocityZeroRelease", 1024, {{0, 0x90, 36, 127}, {1, 0x90, 36, 0}}, 1},
    {"SustainUpInTheSameBlock",
     1024,
     {{0, 0xB0, 64, 127}, {5, 0x90, 36, 127}, {10, 0x80, 36, 0}, {20, 0xB0, 64, 0}},
     1},
    {"AllNotesOffInTheSameBlock", 1024, {{5, 0x90, 36, 127}, {50, 0xB0, 123, 0}}, 1},
};
INSTANTIATE_TEST_SUITE_P(Notes, ShortNoteTest, ::testing::ValuesIn(kCases),
                         [](const auto& instance) { return std::string(instance.param.name); });
} // namespace
