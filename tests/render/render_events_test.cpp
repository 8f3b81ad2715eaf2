// Turning notes, patterns, MIDI files and settings into frame-placed events,
// and finding parameters by name.

#include "parameter_lookup.h"
#include "render_events.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{

TEST(Pattern, StepsAreSixteenthsAtTheTempo)
{
  std::vector<NoteSpec> notes;
  std::string error;
  ASSERT_TRUE(PatternNotes("X... x-.. | X.x.", 40, 120.0, 2, &notes, &error)) << error;
  // At 120 BPM a sixteenth is 0.125 s; the pattern has 12 steps.
  const double step = 0.125;
  const double starts[] = {0, 4, 8, 10, 12, 16, 20, 22};
  ASSERT_EQ(notes.size(), 8u);
  for (std::size_t i = 0; i < notes.size(); ++i)
  {
    EXPECT_DOUBLE_EQ(notes[i].startSeconds, starts[i] * step) << i;
    EXPECT_DOUBLE_EQ(notes[i].lengthSeconds, step);
    EXPECT_EQ(notes[i].note, 40);
  }
  EXPECT_EQ(notes[0].velocity, 127);
  EXPECT_EQ(notes[1].velocity, 100);
}

TEST(Pattern, RefusesStrangeCharactersAndEmptyPatterns)
{
  std::vector<NoteSpec> notes;
  std::string error;
  EXPECT_FALSE(PatternNotes("X..o", 36, 120.0, 1, &notes, &error));
  EXPECT_NE(error.find('o'), std::string::npos);
  EXPECT_FALSE(PatternNotes(" | ", 36, 120.0, 1, &notes, &error));
  EXPECT_TRUE(notes.empty());
}

TEST(RenderEvents, NotesBecomeNoteOnAndOffOnChannelOneAtTheirFrames)
{
  std::vector<RenderEvent> events;
  AddNoteEvents({NoteSpec{36, 90, 0.5, 0.25}}, 48000.0, &events);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].frame, 24000);
  EXPECT_EQ(events[0].status, 0x90);
  EXPECT_EQ(events[0].data1, 36);
  EXPECT_EQ(events[0].data2, 90);
  EXPECT_EQ(events[1].frame, 36000);
  EXPECT_EQ(events[1].status, 0x80);
}

TEST(RenderEvents, TimesBecomeFramesThatAlwaysFit)
{
  EXPECT_EQ(SecondsToFrame(1.5, 48000.0), 72000);
  EXPECT_EQ(SecondsToFrame(-2.0, 48000.0), 0);
  EXPECT_EQ(SecondsToFrame(std::nan(""), 48000.0), 0);
  const int64_t latest = SecondsToFrame(kLatestEventSeconds, 384000.0);
  EXPECT_EQ(SecondsToFrame(1e300, 384000.0), latest);
  EXPECT_EQ(SecondsToFrame(std::numeric_limits<double>::infinity(), 384000.0), latest);
  EXPECT_GT(latest, SecondsToFrame(3600.0, 384000.0));
}

TEST(RenderEvents, MidiFileChannelsAreFilteredAndMovedToChannelOne)
{
  MidiFileContents file;
  file.messages = {{0.0, 0x99, 36, 100}, {0.5, 0x90, 38, 100}, {1.0, 0x89, 36, 0}};
  std::vector<RenderEvent> all, tenth;
  AddMidiFileEvents(file, 0, 1000.0, &all);
  AddMidiFileEvents(file, 10, 1000.0, &tenth);
  ASSERT_EQ(all.size(), 3u);
  for (const RenderEvent& event : all)
    EXPECT_EQ(event.status & 0x0F, 0);
  ASSERT_EQ(tenth.size(), 2u);
  EXPECT_EQ(tenth[0].status, 0x90);
  EXPECT_EQ(tenth[1].status, 0x80);
  EXPECT_EQ(tenth[1].frame, 1000);
}

TEST(RenderEvents, SettingsComeBeforeMessagesOfTheSameFrameOtherwiseOrderIsKept)
{
  RenderEvent noteA{10, RenderEvent::kMidi}, noteB{10, RenderEvent::kMidi};
  noteA.data1 = 1;
  noteB.data1 = 2;
  RenderEvent setting{10, RenderEvent::kParameter}, early{5, RenderEvent::kMidi};
  std::vector<RenderEvent> events{noteA, setting, noteB, early};
  SortEvents(&events);
  EXPECT_EQ(events[0].frame, 5);
  EXPECT_EQ(events[1].kind, RenderEvent::kParameter);
  EXPECT_EQ(events[2].data1, 1);
  EXPECT_EQ(events[3].data1, 2);
}

// What the two builds report: VST3 full names, VST2 names cut to 7
// characters.
const std::vector<PluginParameter> kVst3Names{
    {0, "BassAmpLevel"}, {1, "BassEnvAttack"}, {2, "BassEnvDecay"}, {7, "MainVolume"}};
const std::vector<PluginParameter> kVst2Names{
    {0, "BassAmp"}, {1, "BassEnv"}, {2, "BassEnv"}, {7, "MainVol"}};

TEST(ParameterLookup, NamesMatchWithoutRegardToCase)
{
  int id = -1;
  std::string error;
  ASSERT_TRUE(LookUpParameter(kVst3Names, "bassenvdecay", &id, &error)) << error;
  EXPECT_EQ(id, 2);
  ASSERT_TRUE(LookUpParameter(kVst3Names, "7", &id, &error)) << error;
  EXPECT_EQ(id, 7);
}

TEST(ParameterLookup, FullNamesFindTheCutNamesOfVst2)
{
  int id = -1;
  std::string error;
  ASSERT_TRUE(LookUpParameter(kVst2Names, "BassEnvDecay", &id, &error)) << error;
  EXPECT_EQ(id, 2);
  ASSERT_TRUE(LookUpParameter(kVst2Names, "MainVolume", &id, &error)) << error;
  EXPECT_EQ(id, 7);
  // The cut name itself is shared by two parameters.
  EXPECT_FALSE(LookUpParameter(kVst2Names, "BassEnv", &id, &error));
  EXPECT_NE(error.find("more than one"), std::string::npos);
}

TEST(ParameterLookup, UnknownNamesAndNumbersAreRefused)
{
  int id = -1;
  std::string error;
  EXPECT_FALSE(LookUpParameter(kVst3Names, "Cowbell", &id, &error));
  EXPECT_NE(error.find("Cowbell"), std::string::npos);
  EXPECT_FALSE(LookUpParameter(kVst3Names, "3", &id, &error));
  EXPECT_FALSE(LookUpParameter(kVst3Names, "99999999999", &id, &error));
  // A name from the instrument's table whose index the plug-in reports
  // under another name.
  EXPECT_FALSE(LookUpParameter({{7, "Gain"}}, "MainVolume", &id, &error));
}

TEST(ParameterLookup, AssignmentsNeedANameAndAFiniteNumber)
{
  std::string key;
  double value = 0.0;
  ASSERT_TRUE(SplitAssignment(" MainVolume = 0.25 ", &key, &value));
  EXPECT_EQ(key, "MainVolume");
  EXPECT_EQ(value, 0.25);
  EXPECT_FALSE(SplitAssignment("MainVolume", &key, &value));
  EXPECT_FALSE(SplitAssignment("=1", &key, &value));
  EXPECT_FALSE(SplitAssignment("MainVolume=loud", &key, &value));
  EXPECT_FALSE(SplitAssignment("MainVolume=inf", &key, &value));
  EXPECT_FALSE(SplitAssignment("MainVolume=0.5x", &key, &value));
}

} // namespace
