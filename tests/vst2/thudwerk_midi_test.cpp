// The instrument's note, sustain and controller handling, observed through
// the host interface: the voice parameters mirror what reaches the engine.
#include "vst2_plugin_fixture.h"

#include <algorithm>

namespace
{
bool Silent(const std::vector<double>& samples)
{
  return std::all_of(samples.begin(), samples.end(), [](double s) { return s == 0.0; });
}
} // namespace

using ThudwerkMidiTest = Vst2PluginTest;

// A release waits until the engine has started the note: past the 1 ms
// retrigger hold (44 samples at 44100 Hz).
constexpr int kPastTheRetriggerHold = 64;

TEST_F(ThudwerkMidiTest, NotesOnOtherChannelsAreIgnored)
{
  SendMidi(0, 0x91, 36, 100);
  const AudioBuffers<double> out = RenderDouble(512);
  EXPECT_FALSE(GateOpen());
  EXPECT_EQ(Token(), 0.0f);
  EXPECT_TRUE(Silent(out.out[0]));
}

TEST_F(ThudwerkMidiTest, AReleaseInTheBlockOfItsNoteWaitsOnlyUntilTheKickStarts)
{
  SendMidi(0, kNoteOnChannel1, 36, 100);
  SendMidi(10, kNoteOffChannel1, 36, 0);
  SendMidi(20, kNoteOnChannel1, 38, 100);
  const AudioBuffers<double> first = RenderDouble(kDefaultBlock);
  // The release and the note after it are handled within the block, once
  // the first kick has started.
  EXPECT_TRUE(GateOpen());
  EXPECT_EQ(CurrentNote(), 38);
  EXPECT_EQ(Token(), TokenAfterSteps(2));
  EXPECT_FALSE(Silent(first.out[0]));
}

TEST_F(ThudwerkMidiTest, NoteOnWithVelocityZeroIsANoteOff)
{
  NoteOn(36, 100);
  RenderDouble(kPastTheRetriggerHold);
  SendMidi(0, kNoteOnChannel1, 36, 0);
  RenderDouble(16);
  EXPECT_FALSE(GateOpen());
}

TEST_F(ThudwerkMidiTest, MessagesForLaterBlocksWait)
{
  SendMidi(100, kNoteOnChannel1, 36, 100);
  RenderDouble(64);
  EXPECT_FALSE(GateOpen());
  RenderDouble(64);
  EXPECT_TRUE(GateOpen());
}

TEST_F(ThudwerkMidiTest, ReleasingTheTopNoteFallsBackToTheNoteBelow)
{
  NoteOn(36, 90);
  NoteOn(38, 110);
  NoteOff(38);
  RenderDouble(16);
  EXPECT_TRUE(GateOpen());
  EXPECT_EQ(CurrentNote(), 36);
  EXPECT_EQ(CurrentVelocity(), 90);
  EXPECT_EQ(Token(), TokenAfterSteps(3));
}

TEST_F(ThudwerkMidiTest, ReleasingANoteBelowTheTopKeepsTheToken)
{
  NoteOn(36, 90);
  NoteOn(38, 110);
  NoteOff(36);
  RenderDouble(16);
  EXPECT_EQ(Token(), TokenAfterSteps(2));
  EXPECT_TRUE(GateOpen());
}

TEST_F(ThudwerkMidiTest, ReleaseOfNoteZeroDoesNotShiftTheHeldNotes)
{
  NoteOn(36, 90);
  NoteOn(38, 110);
  NoteOff(0);
  RenderDouble(16);
  // The release pops the top entry; the note below it is 36 with its velocity.
  EXPECT_TRUE(GateOpen());
  EXPECT_EQ(CurrentNote(), 36);
  EXPECT_EQ(CurrentVelocity(), 90);
}

TEST_F(ThudwerkMidiTest, TheStackKeepsAHundredNotes)
{
  for (int i = 0; i < 101; ++i)
    NoteOn(uint8_t(20 + i), 100);
  RenderDouble(16);
  EXPECT_EQ(CurrentNote(), 120);
  // The 101st note replaced the 100th on top; releasing it reveals the 99th.
  NoteOff(120);
  RenderDouble(16);
  EXPECT_EQ(CurrentNote(), 118);
  EXPECT_TRUE(GateOpen());
}

TEST_F(ThudwerkMidiTest, TheTokenCyclesWithoutRepeatingAValue)
{
  float previous = Token();
  for (int step = 1; step <= 205; ++step)
  {
    NoteOn(36, 100);
    NoteOff(36);
    RenderDouble(kPastTheRetriggerHold);
    ASSERT_EQ(Token(), TokenAfterSteps(step)) << "step " << step;
    ASSERT_NE(Token(), previous) << "step " << step;
    previous = Token();
  }
}

TEST_F(ThudwerkMidiTest, NoteNumbersAbove127AreDropped)
{
  SendMidi(0, kNoteOnChannel1, 200, 100);
  RenderDouble(16);
  EXPECT_FALSE(GateOpen());
  EXPECT_EQ(Token(), 0.0f);
  SendMidi(0, kNoteOffChannel1, 255, 0);
  NoteOn(36, 100);
  RenderDouble(16);
  EXPECT_EQ(CurrentNote(), 36);
}

TEST_F(ThudwerkMidiTest, SustainHoldsTheGateUntilThePedalRises)
{
  Controller(64, 127);
  NoteOn(36, 100);
  NoteOff(36);
  RenderDouble(kPastTheRetriggerHold);
  EXPECT_TRUE(GateOpen());
  Controller(64, 64);
  RenderDouble(16);
  EXPECT_TRUE(GateOpen());
  Controller(64, 0);
  RenderDouble(16);
  EXPECT_FALSE(GateOpen());
}

TEST_F(ThudwerkMidiTest, PedalUpKeepsTheGateWhileKeysAreDown)
{
  Controller(64, 127);
  NoteOn(36, 100);
  Controller(64, 0);
  RenderDouble(16);
  EXPECT_TRUE(GateOpen());
}

TEST_F(ThudwerkMidiTest, SoundControllersSetTheirParameters)
{
  struct Mapping
  {
    uint8_t controller;
    int param;
  };
  const Mapping mappings[] = {
      {1, EngineParam::TransistorDistLoad}, {2, EngineParam::ReverbOffOn},
      {3, EngineParam::VelAmpOffOn},        {7, EngineParam::MainVolume},
      {8, EngineParam::BassEnvAttack},      {9, EngineParam::BassEnvDecay},
      {10, EngineParam::BassPitchAmt},      {11, EngineParam::BassAmpLevel},
      {12, EngineParam::SnapEnvDecay},      {13, EngineParam::SnapPitchAmt},
      {14, EngineParam::SnapAmpLevel},
  };
  for (const Mapping& mapping : mappings)
  {
    Controller(mapping.controller, 127);
    RenderDouble(1);
    EXPECT_FLOAT_EQ(Get(mapping.param), 1.0f) << "controller " << int(mapping.controller);
    Controller(mapping.controller, 0);
    RenderDouble(1);
    EXPECT_FLOAT_EQ(Get(mapping.param), 0.0f) << "controller " << int(mapping.controller);
    Controller(mapping.controller, 64);
    RenderDouble(1);
    EXPECT_FLOAT_EQ(Get(mapping.param), float(64 / 127.0))
        << "controller " << int(mapping.controller);
  }
  // Controllers outside the table change nothing.
  const float volume = Get(EngineParam::MainVolume);
  Controller(4, 0);
  Controller(74, 0);
  RenderDouble(1);
  EXPECT_EQ(Get(EngineParam::MainVolume), volume);
}

TEST_F(ThudwerkMidiTest, ControllerChangesReachTheSound)
{
  Controller(7, 0);
  NoteOn(36, 100);
  const AudioBuffers<double> out = RenderDouble(kDefaultBlock);
  EXPECT_TRUE(Silent(out.out[0]));
  EXPECT_TRUE(GateOpen());
}

TEST_F(ThudwerkMidiTest, AllNotesOffEndsTheHeldNote)
{
  NoteOn(36, 100);
  NoteOn(38, 100);
  RenderDouble(kPastTheRetriggerHold);
  Controller(123, 0);
  RenderDouble(16);
  EXPECT_FALSE(GateOpen());
  // The stack is empty: releasing the old notes brings nothing back.
  NoteOff(38);
  RenderDouble(16);
  EXPECT_FALSE(GateOpen());
}

TEST_F(ThudwerkMidiTest, PolyModeIgnoresEveryNote)
{
  Set(EngineParam::VoiceModeMonoPoly, 1.0f);
  NoteOn(36, 100);
  const AudioBuffers<double> out = RenderDouble(512);
  EXPECT_FALSE(GateOpen());
  EXPECT_TRUE(Silent(out.out[0]));
  Set(EngineParam::VoiceModeMonoPoly, 0.0f);
  NoteOn(36, 100);
  RenderDouble(16);
  EXPECT_TRUE(GateOpen());
}

TEST_F(ThudwerkMidiTest, RetriggerOffStopsTheToken)
{
  NoteOn(36, 100);
  RenderDouble(16);
  ASSERT_EQ(Token(), TokenAfterSteps(1));
  Set(EngineParam::VoiceRetrigOffOn, 1.0f);
  NoteOn(38, 100);
  RenderDouble(16);
  EXPECT_EQ(Token(), TokenAfterSteps(1));
  EXPECT_EQ(CurrentNote(), 38);
  Set(EngineParam::VoiceRetrigOffOn, 0.0f);
  NoteOn(40, 100);
  RenderDouble(16);
  EXPECT_EQ(Token(), TokenAfterSteps(2));
}

TEST_F(ThudwerkMidiTest, PresetSelectorRestsAtZeroAfterAChange)
{
  Set(EngineParam::PresetSelector, float(6.4 / 10001.0));
  EXPECT_FLOAT_EQ(Get(EngineParam::PresetSelector), float(1.0 / 10001.0));
  NoteOn(36, 100);
  RenderDouble(16);
  ASSERT_TRUE(GateOpen());
  // A preset step forgets the notes.
  Set(EngineParam::PresetForward, 1.0f);
  EXPECT_FALSE(GateOpen());
  EXPECT_FLOAT_EQ(Get(EngineParam::PresetSelector), float(1.0 / 10001.0));
}
