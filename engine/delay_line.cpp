#include "delay_line.h"

#include <cstring>

namespace
{
// Largest ring whose size and positions still fit the int32 fields.
constexpr double kLargestRing = 1073741824.0;

void ZeroSlots(DelayLine& line, int32_t first, int32_t count)
{
  std::memset(line.storage + first, 0, static_cast<std::size_t>(count) * sizeof(double));
}
} // namespace

DelayAllocation DelayLineAllocate(DelayLine& line, double length, const EngineMemory& memory)
{
  if (!(length >= 0.0 && length <= kLargestRing)) return DelayAllocation::SizeError;
  const int32_t asked = static_cast<int32_t>(length);
  int32_t size = 2;
  while (size < asked)
    size *= 2;
  void* storage = memory.allocateZeroed(static_cast<std::size_t>(size), sizeof(double));
  if (storage == nullptr) return DelayAllocation::OutOfMemory;
  line.storage = static_cast<double*>(storage);
  line.size = size;
  line.mask = size - 1;
  line.maxDelay = asked;
  line.readPos = 0;
  line.writePos = 0;
  return DelayAllocation::Ok;
}

void DelayLineRelease(DelayLine& line, const EngineMemory& memory)
{
  memory.release(line.storage);
  line = DelayLine{};
}

void DelayLineClear(DelayLine& line)
{
  ZeroSlots(line, 0, line.size);
  line.readPos = 0;
  line.writePos = 0;
}

void DelayLineWriteZeros(DelayLine& line, int frames, bool storageIsZero)
{
  if (frames <= 0) return;
  if (!storageIsZero)
  {
    if (frames >= line.size)
      ZeroSlots(line, 0, line.size);
    else
    {
      const int32_t untilWrap = line.size - line.readPos;
      ZeroSlots(line, line.readPos, frames < untilWrap ? frames : untilWrap);
      if (frames > untilWrap) ZeroSlots(line, 0, frames - untilWrap);
    }
  }
  line.writePos = (line.readPos + ((frames - 1) & line.mask)) & line.mask;
  line.readPos = (line.readPos + (frames & line.mask)) & line.mask;
}
