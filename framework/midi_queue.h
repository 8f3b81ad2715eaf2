#pragma once

#include "midi_event.h"

#include <vector>

// Messages waiting for the block that plays them, ordered by frame offset
// (equal offsets keep their arrival order). The storage has a fixed capacity
// between Resize calls: Add, Front, Remove and Flush run on the audio thread
// and never allocate; Resize allocates and belongs where the block size is
// set. No lock of its own: the plug-in's lock serializes every call.
class MidiQueue
{
public:
  // Room for capacity messages (rounded up to whole steps of 512), or none if
  // that memory cannot be obtained.
  explicit MidiQueue(int capacity = 1024);

  // Audio thread. Inserts by offset. A full queue whose front has moved
  // compacts first; a full queue with nothing handled drops the message,
  // because growing here would allocate on the audio thread. Answers whether
  // the message was stored.
  bool Add(const IMidiEvent& message);
  // The first unhandled message, or null when the queue is empty.
  const IMidiEvent* Front() const;
  // Marks the front message handled; nothing when the queue is empty.
  void Remove();
  // The message count places behind the front, or null past the back.
  const IMidiEvent* At(int count) const;
  // After a block of frames: forgets the handled messages and moves the
  // offsets of the rest so they count from the next block's start. A
  // message of this block left unhandled (held back) gets offset -1, the
  // last frame of its block, and keeps moving with every later block: a
  // negative offset always ends one frame before the end of the block the
  // message came in, so the wait can be bounded.
  void Flush(int frames);
  // Forgets every message (a reset or a resume must not replay old ones).
  void Clear();
  // Off the audio thread: room for one message per frame of a block of size
  // frames, rounded up to 512, never below what is queued. Resize (0) keeps
  // the storage, so a zero block size cannot disable MIDI. Failed
  // reallocation keeps the old storage. Answers the capacity.
  int Resize(int size);

  bool Empty() const { return mFront == mBack; }
  int Count() const { return mBack - mFront; }
  int Capacity() const { return static_cast<int>(mStorage.size()); }

private:
  void Compact();

  std::vector<IMidiEvent> mStorage;
  int mFront = 0;
  int mBack = 0;
};
