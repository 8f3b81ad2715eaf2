// Standard MIDI files: timing through divisions and tempo maps, running
// status, several tracks, and files that are cut short or hostile.

#include "midi_bytes.h"
#include "midi_file.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

MidiFileContents Parse(const Bytes& bytes)
{
  MidiFileContents contents;
  std::string error;
  EXPECT_TRUE(ParseMidiFile(bytes, &contents, &error)) << error;
  return contents;
}

std::string ParseError(const Bytes& bytes)
{
  MidiFileContents contents;
  std::string error;
  EXPECT_FALSE(ParseMidiFile(bytes, &contents, &error));
  return error;
}

TEST(MidiFile, RunningStatusAndTicksAtTheDefaultTempo)
{
  // 480 ticks a quarter note at the default 120 BPM: a quarter is 0.5 s.
  const Bytes file =
      Join({HeaderChunk(0, 1, 480),
            Track(Join({Event(0, {0x90, 36, 100}), Event(480, {38, 90}), // running status
                        Event(240, {36, 0}), Event(0, {0x80, 38, 64}), EndOfTrack(480)}))});
  const MidiFileContents contents = Parse(file);
  ASSERT_EQ(contents.messages.size(), 4u);
  EXPECT_EQ(contents.format, 0);
  EXPECT_DOUBLE_EQ(contents.messages[0].seconds, 0.0);
  EXPECT_EQ(contents.messages[1].status, 0x90);
  EXPECT_EQ(contents.messages[1].data1, 38);
  EXPECT_EQ(contents.messages[1].data2, 90);
  EXPECT_DOUBLE_EQ(contents.messages[1].seconds, 0.5);
  EXPECT_EQ(contents.messages[2].status, 0x90);
  EXPECT_EQ(contents.messages[2].data2, 0);
  EXPECT_DOUBLE_EQ(contents.messages[2].seconds, 0.75);
  EXPECT_EQ(contents.messages[3].status, 0x80);
  EXPECT_DOUBLE_EQ(contents.lengthSeconds, 1.25);
}

TEST(MidiFile, OneDataByteMessagesKeepRunningStatus)
{
  const Bytes file =
      Join({HeaderChunk(0, 1, 96),
            Track(Join({Event(0, {0xC0, 5}), Event(96, {7}), Event(0, {0xB0, 7, 127})}))});
  const MidiFileContents contents = Parse(file);
  ASSERT_EQ(contents.messages.size(), 3u);
  EXPECT_EQ(contents.messages[1].status, 0xC0);
  EXPECT_EQ(contents.messages[1].data1, 7);
  EXPECT_DOUBLE_EQ(contents.messages[1].seconds, 0.5);
  EXPECT_EQ(contents.messages[2].data2, 127);
}

TEST(MidiFile, TempoChangesStretchLaterTicksOnly)
{
  // Quarter 0 and 1 at 120 BPM (0.5 s each), then 240 BPM (0.25 s each).
  const Bytes file =
      Join({HeaderChunk(0, 1, 100),
            Track(Join({Tempo(0, 500000), Event(0, {0x90, 36, 100}), Tempo(200, 250000),
                        Event(100, {0x90, 38, 100}), Event(100, {0x90, 40, 100})}))});
  const MidiFileContents contents = Parse(file);
  ASSERT_EQ(contents.messages.size(), 3u);
  EXPECT_DOUBLE_EQ(contents.messages[0].seconds, 0.0);
  EXPECT_DOUBLE_EQ(contents.messages[1].seconds, 1.0 + 0.25);
  EXPECT_DOUBLE_EQ(contents.messages[2].seconds, 1.0 + 0.5);
}

TEST(MidiFile, FormatOneMergesTracksWithTheTempoTrackGoverningAll)
{
  // Track 1 holds the tempo (60 BPM: a quarter is 1 s); tracks 2 and 3 have
  // notes, two of them on the same tick.
  const Bytes file = Join({HeaderChunk(1, 3, 10), Track(Join({Tempo(0, 1000000), EndOfTrack()})),
                           Track(Join({Event(10, {0x90, 36, 1}), EndOfTrack(5)})),
                           Track(Join({Event(5, {0x91, 37, 2}), Event(5, {0x91, 38, 3})}))});
  const MidiFileContents contents = Parse(file);
  EXPECT_EQ(contents.format, 1);
  EXPECT_EQ(contents.trackCount, 3);
  ASSERT_EQ(contents.messages.size(), 3u);
  EXPECT_EQ(contents.messages[0].data1, 37);
  EXPECT_DOUBLE_EQ(contents.messages[0].seconds, 0.5);
  // Same tick: the earlier track comes first.
  EXPECT_EQ(contents.messages[1].data1, 36);
  EXPECT_EQ(contents.messages[2].data1, 38);
  EXPECT_DOUBLE_EQ(contents.messages[2].seconds, 1.0);
  EXPECT_DOUBLE_EQ(contents.lengthSeconds, 1.5);
}

TEST(MidiFile, TimeCodeDivisionCountsTicksPerSecond)
{
  // 25 frames a second, 40 ticks a frame: 1000 ticks a second.
  const uint16_t division = uint16_t((uint8_t(-25) << 8) | 40);
  const Bytes file = Join(
      {HeaderChunk(0, 1, division), Track(Join({Tempo(0, 250000), Event(750, {0x90, 1, 1})}))});
  const MidiFileContents contents = Parse(file);
  ASSERT_EQ(contents.messages.size(), 1u);
  EXPECT_DOUBLE_EQ(contents.messages[0].seconds, 0.75); // tempo does not apply
}

TEST(MidiFile, SystemExclusiveAndUnknownChunksAreSkipped)
{
  const Bytes sysex = Join({Event(0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7})});
  const Bytes file = Join({HeaderChunk(0, 1, 96), Chunk("XFIH", Bytes{1, 2, 3}),
                           Track(Join({sysex, Event(0, {0x90, 36, 100})}))});
  const MidiFileContents contents = Parse(file);
  ASSERT_EQ(contents.messages.size(), 1u);
  EXPECT_EQ(contents.messages[0].data1, 36);
}

TEST(MidiFile, EventsAfterTheEndOfTrackAreNotRead)
{
  const Bytes file =
      Join({HeaderChunk(0, 1, 96),
            Track(Join({Event(0, {0x90, 36, 100}), EndOfTrack(), Event(0, {0xF4})}))});
  EXPECT_EQ(Parse(file).messages.size(), 1u);
}

TEST(MidiFile, MalformedFilesGiveAReason)
{
  const Bytes header = HeaderChunk(0, 1, 96);
  const Bytes note = Event(0, {0x90, 36, 100});
  struct Case
  {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"empty", Bytes{}},
      {"not MIDI", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}},
      {"header cut short", Bytes(header.begin(), header.begin() + 10)},
      {"format 2", Join({HeaderChunk(2, 1, 96), Track(note)})},
      {"no tracks", HeaderChunk(1, 0, 96)},
      {"division 0", Join({HeaderChunk(0, 1, 0), Track(note)})},
      {"unknown frame rate", Join({HeaderChunk(0, 1, uint16_t(0xE000 | 10)), Track(note)})},
      {"fewer tracks than announced", Join({HeaderChunk(1, 2, 96), Track(note)})},
      {"chunk longer than the file", Join({header, Bytes{'M', 'T', 'r', 'k', 0, 0, 1, 0}, note})},
      {"message cut short", Join({header, Track(Bytes{0x00, 0x90, 36})})},
      {"data byte first", Join({header, Track(Event(0, {36, 100}))})},
      {"running status after a meta event",
       Join({header, Track(Join({note, Tempo(0, 500000), Event(0, {38, 100})}))})},
      {"five-byte delta", Join({header, Track(Bytes{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 1, 1})})},
      {"data byte above 127", Join({header, Track(Event(0, {0x90, 0x80, 1}))})},
      {"zero tempo", Join({header, Track(Tempo(0, 0))})},
      {"meta length beyond the chunk", Join({header, Track(Bytes{0x00, 0xFF, 0x01, 0x7F, 'a'})})},
      {"sysex length beyond the chunk", Join({header, Track(Bytes{0x00, 0xF0, 0x10, 1})})},
      {"status that belongs on a wire", Join({header, Track(Event(0, {0xF8}))})},
  };
  for (const Case& c : cases)
    EXPECT_FALSE(ParseError(c.bytes).empty()) << c.what;
}

TEST(MidiFile, DamagedCopiesOfAValidFileNeverCrash)
{
  const Bytes valid =
      Join({HeaderChunk(1, 2, 96), Track(Join({Tempo(0, 400000), EndOfTrack()})),
            Track(Join({Event(0, {0x90, 36, 100}), Event(48, {0x80, 36, 0}), Event(0, {0xB0, 7, 1}),
                        Event(10, {0xF0, 0x01, 0xF7}), EndOfTrack()}))});
  std::mt19937 random(20240611);
  for (int round = 0; round < 2000; ++round)
  {
    Bytes damaged = valid;
    const int changes = 1 + int(random() % 4);
    for (int i = 0; i < changes; ++i)
      damaged[random() % damaged.size()] = uint8_t(random());
    if (round % 3 == 0) damaged.resize(random() % damaged.size());
    MidiFileContents contents;
    std::string error;
    const bool parsed = ParseMidiFile(damaged, &contents, &error);
    EXPECT_TRUE(parsed || !error.empty()) << "round " << round;
    for (const TimedMidiMessage& message : contents.messages)
    {
      ASSERT_GE(message.status, 0x80);
      ASSERT_LT(message.status, 0xF0);
      ASSERT_LT(message.data1, 0x80);
      ASSERT_GE(message.seconds, 0.0);
    }
  }
}

TEST(MidiFile, AMissingFileIsAnError)
{
  MidiFileContents contents;
  std::string error;
  EXPECT_FALSE(LoadMidiFile("no-such-folder/none.mid", &contents, &error));
  EXPECT_NE(error.find("none.mid"), std::string::npos);
}

} // namespace
