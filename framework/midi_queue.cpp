#include "midi_queue.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>

static constexpr int64_t kSizeStep = 512;

// Rounds up to a whole number of steps; 0 when the result would not fit an
// int (no queue needs that much room, and the allocation would fail anyway).
static int RoundUpToStep(int64_t size)
{
  const int64_t rounded = (size + kSizeStep - 1) / kSizeStep * kSizeStep;
  return rounded > std::numeric_limits<int>::max() ? 0 : static_cast<int>(rounded);
}

MidiQueue::MidiQueue(int capacity)
{
  Resize(capacity);
}

void MidiQueue::Compact()
{
  if (mFront == 0) return;
  std::copy(mStorage.begin() + mFront, mStorage.begin() + mBack, mStorage.begin());
  mBack -= mFront;
  mFront = 0;
}

bool MidiQueue::Add(const IMidiEvent& message)
{
  if (mBack >= Capacity())
  {
    Compact();
    if (mBack >= Capacity()) return false;
  }
  int insertAt = mBack;
  if (!Empty() && message.mOffset < mStorage[mBack - 1].mOffset)
  {
    int i = mBack - 2;
    while (i >= mFront && message.mOffset < mStorage[i].mOffset)
      --i;
    insertAt = i + 1;
    std::copy_backward(mStorage.begin() + insertAt, mStorage.begin() + mBack,
                       mStorage.begin() + mBack + 1);
  }
  mStorage[insertAt] = message;
  ++mBack;
  return true;
}

const IMidiEvent* MidiQueue::Front() const
{
  return Empty() ? nullptr : &mStorage[mFront];
}

void MidiQueue::Remove()
{
  if (!Empty()) ++mFront;
}

const IMidiEvent* MidiQueue::At(int count) const
{
  return count >= 0 && count < Count() ? &mStorage[mFront + count] : nullptr;
}

void MidiQueue::Flush(int frames)
{
  Compact();
  for (int i = 0; i < mBack; ++i)
  {
    int64_t offset = mStorage[i].mOffset;
    if (offset >= 0 && offset < frames) offset = frames - 1;
    // Host offsets are arbitrary int32 values; saturate instead of wrapping.
    offset -= frames;
    mStorage[i].mOffset = static_cast<int32_t>(std::clamp<int64_t>(
        offset, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  }
}

void MidiQueue::Clear()
{
  mFront = 0;
  mBack = 0;
}

int MidiQueue::Resize(int size)
{
  Compact();
  int wanted = size > 0 ? RoundUpToStep(size) : 0;
  if (wanted == 0) return Capacity();
  if (wanted < mBack) wanted = RoundUpToStep(mBack);
  if (wanted != Capacity())
  {
    try
    {
      std::vector<IMidiEvent> storage(static_cast<size_t>(wanted));
      std::copy(mStorage.begin(), mStorage.begin() + mBack, storage.begin());
      mStorage.swap(storage);
    }
    catch (const std::bad_alloc&)
    {
      // The old storage stays; the queue remains usable.
    }
  }
  return Capacity();
}
