#include "midi_queue.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
IMidiEvent Message(int offset, int data1 = 0)
{
  IMidiEvent message;
  message.mOffset = offset;
  message.mStatus = 0x90;
  message.mData1 = static_cast<uint8_t>(data1);
  message.mData2 = 100;
  return message;
}

std::vector<IMidiEvent> Drain(MidiQueue& queue)
{
  std::vector<IMidiEvent> drained;
  while (const IMidiEvent* front = queue.Front())
  {
    drained.push_back(*front);
    queue.Remove();
  }
  return drained;
}
} // namespace

TEST(MidiEventTest, DecodesKindsAndChannels)
{
  IMidiEvent message;
  message.mStatus = 0x95;
  message.mData1 = 36;
  message.mData2 = 100;
  EXPECT_EQ(kMidiNoteOn, message.Kind());
  EXPECT_EQ(5, message.Channel());
  EXPECT_EQ(36, message.NoteNumber());
  EXPECT_EQ(100, message.Velocity());
  EXPECT_EQ(-1, message.ControlNumber());

  message.mStatus = 0xF8;
  EXPECT_EQ(kMidiNone, message.Kind());
  EXPECT_EQ(-1, message.NoteNumber());
  EXPECT_EQ(-1, message.Velocity());
  message.mStatus = 0x7F;
  EXPECT_EQ(kMidiNone, message.Kind()) << "running-status data byte";
}

TEST(MidiEventTest, EveryKindCarriesOnlyItsFields)
{
  for (int kind = 8; kind <= 14; ++kind)
  {
    IMidiEvent message;
    message.mStatus = static_cast<uint8_t>(kind << 4 | 0x0F);
    message.mData1 = 64;
    message.mData2 = 127;
    EXPECT_EQ(kind, message.Kind());
    EXPECT_EQ(15, message.Channel());
    EXPECT_EQ(kind <= 10 ? 64 : -1, message.NoteNumber()) << kind;
    EXPECT_EQ(kind <= 9 ? 127 : -1, message.Velocity()) << kind;
    EXPECT_EQ(kind == 11 ? 64 : -1, message.ControlNumber()) << kind;
    EXPECT_EQ(kind == 11 ? 1.0 : -1.0, message.ControlValue()) << kind;
  }
}

TEST(MidiQueueTest, OrdersByOffsetKeepingArrivalOrder)
{
  MidiQueue queue;
  queue.Add(Message(5, 1));
  queue.Add(Message(2, 2));
  queue.Add(Message(5, 3));
  queue.Add(Message(0, 4));
  const std::vector<IMidiEvent> drained = Drain(queue);
  ASSERT_EQ(4u, drained.size());
  EXPECT_EQ(4, drained[0].mData1);
  EXPECT_EQ(2, drained[1].mData1);
  EXPECT_EQ(1, drained[2].mData1);
  EXPECT_EQ(3, drained[3].mData1);
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(nullptr, queue.Front());
  queue.Remove(); // on an empty queue: nothing
  EXPECT_EQ(0, queue.Count());
}

TEST(MidiQueueTest, RandomArrivalsComeOutStablySorted)
{
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> offsets(0, 31);
  MidiQueue queue;
  std::vector<IMidiEvent> sent;
  for (int i = 0; i < 300; ++i)
  {
    sent.push_back(Message(offsets(random), i % 128));
    sent.back().mData2 = static_cast<uint8_t>(i / 128);
    ASSERT_TRUE(queue.Add(sent.back()));
  }
  const std::vector<IMidiEvent> drained = Drain(queue);
  ASSERT_EQ(sent.size(), drained.size());
  for (size_t i = 1; i < drained.size(); ++i)
  {
    ASSERT_LE(drained[i - 1].mOffset, drained[i].mOffset);
    if (drained[i - 1].mOffset == drained[i].mOffset)
    {
      const int before = drained[i - 1].mData2 * 128 + drained[i - 1].mData1;
      const int after = drained[i].mData2 * 128 + drained[i].mData1;
      ASSERT_LT(before, after) << "equal offsets keep arrival order";
    }
  }
}

TEST(MidiQueueTest, FlushDropsHandledMessagesAndShiftsTheRest)
{
  MidiQueue queue;
  queue.Add(Message(10));
  queue.Add(Message(70));
  queue.Add(Message(200));
  while (queue.Front() && queue.Front()->mOffset < 64)
    queue.Remove();
  queue.Flush(64);
  ASSERT_EQ(2, queue.Count());
  const std::vector<IMidiEvent> drained = Drain(queue);
  EXPECT_EQ(6, drained[0].mOffset);
  EXPECT_EQ(136, drained[1].mOffset);
}

TEST(MidiQueueTest, FlushSaturatesInsteadOfWrapping)
{
  MidiQueue queue;
  queue.Add(Message(-2147483647 - 1));
  queue.Flush(10);
  ASSERT_NE(nullptr, queue.Front());
  EXPECT_EQ(-2147483647 - 1, queue.Front()->mOffset);
}

TEST(MidiQueueTest, ResizeRoundsUpToWholeSteps)
{
  MidiQueue queue;
  EXPECT_EQ(1024, queue.Capacity());
  EXPECT_EQ(512, queue.Resize(100));
  EXPECT_EQ(512, queue.Resize(512));
  EXPECT_EQ(1024, queue.Resize(1000));
  EXPECT_EQ(1024, queue.Capacity());
  EXPECT_EQ(1536, queue.Resize(1025));
}

TEST(MidiQueueTest, ResizeToZeroKeepsTheQueueUsable)
{
  MidiQueue queue(512);
  queue.Add(Message(3));
  EXPECT_EQ(512, queue.Resize(0));
  EXPECT_EQ(512, queue.Resize(-5));
  EXPECT_TRUE(queue.Add(Message(1)));
  EXPECT_EQ(2, queue.Count());
  EXPECT_EQ(1, queue.Front()->mOffset);
}

TEST(MidiQueueTest, ResizeNeverDropsQueuedMessages)
{
  MidiQueue queue(1024);
  for (int i = 0; i < 700; ++i)
    queue.Add(Message(i));
  EXPECT_EQ(1024, queue.Resize(100)) << "700 messages need two steps";
  ASSERT_EQ(700, queue.Count());
  const std::vector<IMidiEvent> drained = Drain(queue);
  for (int i = 0; i < 700; ++i)
    ASSERT_EQ(i, drained[static_cast<size_t>(i)].mOffset);
}

TEST(MidiQueueTest, FullQueueCompactsWhenTheFrontHasMoved)
{
  MidiQueue queue(512);
  for (int i = 0; i < 512; ++i)
    ASSERT_TRUE(queue.Add(Message(i)));
  queue.Remove();
  queue.Remove();
  EXPECT_TRUE(queue.Add(Message(1000)));
  EXPECT_EQ(512, queue.Capacity()) << "compacted, not grown";
  EXPECT_EQ(511, queue.Count());
  EXPECT_EQ(2, queue.Front()->mOffset);
}

TEST(MidiQueueTest, FullQueueDropsNewMessagesWithoutGrowing)
{
  MidiQueue queue(512);
  for (int i = 0; i < 512; ++i)
    ASSERT_TRUE(queue.Add(Message(i + 1)));
  EXPECT_FALSE(queue.Add(Message(0)));
  EXPECT_EQ(512, queue.Capacity());
  EXPECT_EQ(512, queue.Count());
  EXPECT_EQ(1, queue.Front()->mOffset) << "the queued messages are kept";
  EXPECT_EQ(1024, queue.Resize(1024));
  EXPECT_TRUE(queue.Add(Message(0))) << "room again after Resize";
}
