// Notes released before the engine has started their kick, through both
// builds: each still sounds, none waits for a later block than it must, a
// panic is not queued behind them and a restart forgets them.

#include "thudwerk_fixture.h"
#include "vst2_plugin_fixture.h"

#include "kick_engine.h"

#include <algorithm>
#include <cmath>
#include <memory>

using namespace Steinberg;

namespace
{
constexpr double kRate = kDefaultRate;
// The engine's retrigger hold at kRate; a kick starts this many frames after
// its note is handled.
const int kHold = int(std::trunc(kRate * 0.001));
constexpr uint8_t kAllSoundOff = 120;
constexpr uint8_t kAllNotesOff = 123;

struct Message
{
  int frame; // from the start of the first block
  uint8_t status, data1, data2;
};

// Frames where the output's magnitude starts to rise: the attacks. Holds for
// kicks whose gate closes right after they start (their oscillators barely
// turn, so only a new attack raises the output).
std::vector<int> KickOnsets(const std::vector<double>& out)
{
  std::vector<int> onsets;
  bool rising = false;
  for (size_t i = 1; i < out.size(); ++i)
  {
    const bool up = std::fabs(out[i]) > std::fabs(out[i - 1]);
    if (up && !rising) onsets.push_back(int(i));
    rising = up;
  }
  return onsets;
}

int BlockStart(int frame, int block)
{
  return frame / block * block;
}

// Both builds loaded side by side and fed the same messages, block by block.
class BothBuildsTest : public ThudwerkTest
{
protected:
  void Start(int block)
  {
    mBlock = block;
    effect = vst2.InstantiateAndStart(kRate, block);
    ASSERT_NE(effect, nullptr);
    Prepare(Vst::kSample64, block, kRate);
    vst3Block = std::make_unique<ProcessBlock>(Vst::kSample64, std::vector<int>{2},
                                               std::vector<int>{2}, block);
  }
  void TearDown() override
  {
    if (effect) vst2.Close(effect);
    ThudwerkTest::TearDown();
  }

  // Sets a parameter in both builds before the next block.
  void SetBothBuilds(int index, double normalized)
  {
    effect->setParameter(effect, index, float(normalized));
    vst3Block->Changes().Add(Vst::ParamID(index), 0, normalized);
  }

  // Renders blocks until frames more have passed, handing each build the
  // messages that fall into its blocks; the VST3 build gets the notes only.
  void Play(const std::vector<Message>& messages, int frames)
  {
    auto next = std::lower_bound(messages.begin(), messages.end(), mPosition,
                                 [](const Message& m, int frame) { return m.frame < frame; });
    for (const int end = mPosition + frames; mPosition < end; mPosition += mBlock)
    {
      Vst2EventList events;
      vst3Block->Events().Clear();
      for (; next != messages.end() && next->frame < mPosition + mBlock; ++next)
      {
        const int offset = next->frame - mPosition;
        events.AddMidi(offset, next->status, next->data1, next->data2);
        if (next->status == kNoteOnChannel1)
          vst3Block->Events().AddNoteOn(offset, 0, next->data1, next->data2 / 127.0f);
        if (next->status == kNoteOffChannel1)
          vst3Block->Events().AddNoteOff(offset, 0, next->data1);
      }
      if (events.Size() > 0) vst2.SendEvents(effect, events);
      AudioBuffers<double> out(2, 2, mBlock);
      vst2.ProcessDoubleReplacing(effect, out, mBlock);
      ASSERT_EQ(processor->process(vst3Block->Data(mBlock)), kResultOk);
      vst3Block->Changes().Clear();
      vst2Out.insert(vst2Out.end(), out.out[0].begin(), out.out[0].end());
      for (int i = 0; i < mBlock; ++i)
        vst3Out.push_back(vst3Block->Output(0, 0, i));
    }
  }

  bool Vst2GateOpen() { return effect->getParameter(effect, EngineParam::Voice00_NoteGate) != 0; }
  float Vst2Token() { return effect->getParameter(effect, EngineParam::Voice00_NoteRetrig); }

  Vst2TestHost vst2{THUDWERK_VST2_PLUGIN_PATH};
  AEffect* effect = nullptr;
  std::unique_ptr<ProcessBlock> vst3Block;
  std::vector<double> vst2Out;
  std::vector<double> vst3Out;
  int mBlock = 0;
  int mPosition = 0;
};

std::vector<int> NoteOnFrames(const std::vector<Message>& messages)
{
  std::vector<int> frames;
  for (const Message& m : messages)
    if (m.status == kNoteOnChannel1 && m.data2 != 0) frames.push_back(m.frame);
  return frames;
}

// No kick starts later than one hold past a panic, or past the end of the
// last block with messages.
int LastKickBound(const std::vector<Message>& messages, int block)
{
  for (const Message& m : messages)
    if (m.status == kControlChannel1 && (m.data1 == kAllNotesOff || m.data1 == kAllSoundOff))
      return m.frame + kHold;
  return BlockStart(messages.back().frame, block) + block + kHold;
}

constexpr int kFloodFrames = 441000; // 10 s

// Notes of 5 frames (cut at their block's end) every spacing frames; then,
// unless panic is 0, a note with that controller right behind it.
std::vector<Message> Flood(double spacing, int block, uint8_t panic = 0)
{
  std::vector<Message> messages;
  for (int n = 0;; ++n)
  {
    const int on = int(std::lround(n * spacing));
    if (on >= kFloodFrames) break;
    const int off = std::min(on + 5, BlockStart(on, block) + block - 1);
    messages.push_back({on, kNoteOnChannel1, 36, 100});
    messages.push_back({off, kNoteOffChannel1, 36, 0});
  }
  const int nextBlock = BlockStart(messages.back().frame, block) + block;
  if (panic != 0)
    messages.insert(messages.end(), {{nextBlock, kNoteOnChannel1, 36, 100},
                                     {nextBlock, kControlChannel1, panic, 0},
                                     {nextBlock + 1, kNoteOffChannel1, 36, 0}});
  return messages;
}

struct ShortNoteCase
{
  const char* name;
  int block;
  std::vector<Message> messages;
  // False for floods of notes faster than one per hold and a frame, what
  // each kick needs to start.
  bool everyKickStarts = true;
};

class ShortNoteTest : public BothBuildsTest, public ::testing::WithParamInterface<ShortNoteCase>
{
};

// Faults: a note released before its kick starts is lost, or its release
// is; short notes pile up behind each other (a backlog, late kicks, dropped
// messages) instead of sounding within their block; a panic waits behind
// them and kicks go on after it.
TEST_P(ShortNoteTest, EveryNoteSoundsInItsBlockAndEnds)
{
  const ShortNoteCase& test = GetParam();
  Start(test.block);
  // The bass alone: the snap's faster oscillator would turn over a long
  // flood and hide some attacks.
  SetBothBuilds(EngineParam::SnapAmpLevel, 0.0);
  Play(test.messages,
       std::max(8192, BlockStart(test.messages.back().frame, test.block) + 2 * test.block));
  const bool notesOnly =
      std::none_of(test.messages.begin(), test.messages.end(),
                   [](const Message& m) { return m.status == kControlChannel1; });
  if (notesOnly)
  {
    EXPECT_EQ(vst2Out, vst3Out);
  }
  const std::vector<int> onsets = KickOnsets(vst2Out);
  const std::vector<int> noteOns = NoteOnFrames(test.messages);
  const int notes = int(noteOns.size());
  ASSERT_FALSE(onsets.empty());
  EXPECT_LE(onsets.back(), LastKickBound(test.messages, test.block)) << "a backlog played on";
  EXPECT_EQ(Vst2Token(), TokenAfterSteps(notes)) << "a note-on was lost";
  EXPECT_FALSE(Vst2GateOpen()) << "a release was lost";
  if (test.everyKickStarts)
  {
    ASSERT_EQ(int(onsets.size()), notes);
    for (int i = 0; i < notes; ++i)
      ASSERT_LE(onsets[i], BlockStart(noteOns[i], test.block) + test.block + kHold) << "note " << i;
  }
  else
  {
    // Every frame of the flood starts a kick or holds for one; only notes
    // beyond that miss their start, at most one per block.
    const int blocks = kFloodFrames / test.block + 1;
    EXPECT_GE(int(onsets.size()), kFloodFrames / (kHold + 1) - blocks);
  }
}

const ShortNoteCase kShortNotes[] = {
    {"HalfBlock32", 32, {{2, kNoteOnChannel1, 36, 127}, {18, kNoteOffChannel1, 36, 0}}},
    {"MidBlock512", 512, {{258, kNoteOnChannel1, 36, 127}, {270, kNoteOffChannel1, 36, 0}}},
    {"PairThenAnotherNote",
     512,
     {{10, kNoteOnChannel1, 36, 127},
      {40, kNoteOffChannel1, 36, 0},
      {80, kNoteOnChannel1, 38, 127},
      {120, kNoteOffChannel1, 38, 0}}},
    {"FourInOneBlock",
     512,
     {{0, kNoteOnChannel1, 36, 100},
      {5, kNoteOffChannel1, 36, 0},
      {10, kNoteOnChannel1, 36, 100},
      {15, kNoteOffChannel1, 36, 0},
      {20, kNoteOnChannel1, 36, 100},
      {25, kNoteOffChannel1, 36, 0},
      {30, kNoteOnChannel1, 36, 100},
      {35, kNoteOffChannel1, 36, 0}}},
    {"VelocityZeroRelease", 1024, {{0, kNoteOnChannel1, 36, 127}, {1, kNoteOnChannel1, 36, 0}}},
    {"SustainUpInTheSameBlock",
     1024,
     {{0, kControlChannel1, 64, 127},
      {5, kNoteOnChannel1, 36, 127},
      {10, kNoteOffChannel1, 36, 0},
      {20, kControlChannel1, 64, 0}}},
    {"AllNotesOffInTheSameBlock",
     1024,
     {{5, kNoteOnChannel1, 36, 127}, {50, kControlChannel1, kAllNotesOff, 0}}},
    {"OneNotePerMillisecond512", 512, Flood(kRate / 1000, 512), false},
    {"OneNotePerMillisecond8192", 8192, Flood(kRate / 1000, 8192), false},
    {"AsFastAsKicksCanStart512", 512, Flood(kHold + 1, 512)},
    {"OneNotePer1Point1Milliseconds8192", 8192, Flood(kRate * 0.0011, 8192)},
    {"AllNotesOffAfterAFlood512", 512, Flood(kRate / 1000, 512, kAllNotesOff), false},
    {"AllNotesOffAfterAFlood8192", 8192, Flood(kRate / 1000, 8192, kAllNotesOff), false},
    {"AllSoundOffAfterAFlood8192", 8192, Flood(kRate / 1000, 8192, kAllSoundOff), false},
};
INSTANTIATE_TEST_SUITE_P(Notes, ShortNoteTest, ::testing::ValuesIn(kShortNotes),
                         [](const auto& instance) { return std::string(instance.param.name); });

// Fault: a release waiting for its kick to start is handled at the start
// instead of at its own offset, so a note longer than the hold that lies
// within one block (a 30 ms note in an offline bounce) shrinks to a click.
TEST_F(BothBuildsTest, ANoteWithinOneBlockKeepsItsLength)
{
  constexpr int kLength = 1323; // 30 ms
  const std::vector<Message> note = {{0, kNoteOnChannel1, 36, 100},
                                     {kLength, kNoteOffChannel1, 36, 0}};
  Start(4096);
  Play(note, 8192);
  EXPECT_EQ(vst2Out, vst3Out);
  // Again with the release at a block start, where it waits for nothing.
  const std::vector<double> played = vst2Out;
  vst2.Close(effect);
  processor->setProcessing(false);
  component->setActive(false);
  vst2Out.clear();
  mPosition = 0;
  Start(kLength);
  Play(note, 8192);
  vst2Out.resize(played.size());
  EXPECT_EQ(vst2Out, played);
}

struct RestartCase
{
  const char* name;
  double sampleRate;
  // VST3: bypassed by a restored state while notes arrive, then resumed by
  // another; VST2 has no bypass and is stopped and started.
  bool bypass;
};

class RestartTest : public BothBuildsTest, public ::testing::WithParamInterface<RestartCase>
{
};

// Fault: messages held back survive a reset or a bypass and play after the
// restart.
TEST_P(RestartTest, HeldMessagesDoNotReplay)
{
  const RestartCase& test = GetParam();
  Start(16);
  // A release waiting for its kick to start, with a note behind it.
  Play({{0, kNoteOnChannel1, 36, 100}, {5, kNoteOffChannel1, 36, 0}, {9, kNoteOnChannel1, 38, 100}},
       16);
  if (test.bypass)
  {
    std::vector<char> state = SavedState(component);
    state[216] = 1; // the bypass word after the 27 parameters
    ASSERT_EQ(component->setState(owned(new MemoryStream(state))), kResultOk);
    Play({{16, kNoteOnChannel1, 36, 100}, {21, kNoteOffChannel1, 36, 0}}, 64);
    state[216] = 0;
    ASSERT_EQ(component->setState(owned(new MemoryStream(state))), kResultOk);
  }
  else
  {
    processor->setProcessing(false);
    component->setActive(false);
    Prepare(Vst::kSample64, 16, test.sampleRate);
  }
  vst2.Dispatch(effect, effMainsChanged, 0, 0);
  vst2.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, float(test.sampleRate));
  vst2.Dispatch(effect, effMainsChanged, 0, 1);
  const size_t restart = vst2Out.size();
  Play({}, 4096);
  const auto silent = [restart](const std::vector<double>& out)
  { return std::all_of(out.begin() + restart, out.end(), [](double s) { return s == 0.0; }); };
  EXPECT_TRUE(silent(vst2Out));
  EXPECT_TRUE(silent(vst3Out));
  EXPECT_FALSE(Vst2GateOpen());
}

const RestartCase kRestarts[] = {
    {"StopAndStart", kRate, false},
    {"NewSampleRate", 48000.0, false},
    {"BypassAndResume", kRate, true},
};
INSTANTIATE_TEST_SUITE_P(Restarts, RestartTest, ::testing::ValuesIn(kRestarts),
                         [](const auto& instance) { return std::string(instance.param.name); });
} // namespace
