#pragma once

// Power-of-two ring buffers of the reverb. Positions wrap with a mask; reads
// interpolate linearly between the two neighbouring samples.

#include "engine_memory.h"

#include <cstdint>

struct DelayLine
{
  double* storage;
  int32_t size;
  int32_t mask;
  int32_t maxDelay;
  int32_t readPos;
  int32_t writePos;
};

// The delay a read actually uses: until the first write of a line its
// current slot may be read (a delay of 0), afterwards at least one sample
// back; never more than the maximum delay.
inline double DelayLimit(const DelayLine& line, double delay)
{
  const double shortest = line.readPos != line.writePos ? 1.0 : 0.0;
  double limited = delay < shortest ? shortest : delay;
  if (limited > line.maxDelay) limited = line.maxDelay;
  return limited;
}

// Reads `limited` (from DelayLimit) samples back, interpolating linearly
// between the two neighbouring samples.
inline double DelayReadLimited(const DelayLine& line, double limited)
{
  const double position = static_cast<double>(line.size + line.readPos) - limited;
  const int32_t whole = static_cast<int32_t>(position);
  const double fraction = position - whole;
  const double a = line.storage[whole & line.mask];
  const double b = line.storage[(whole + 1) & line.mask];
  return a + (b - a) * fraction;
}

inline void DelayWrite(DelayLine& line, double value)
{
  line.writePos = line.readPos;
  line.storage[line.readPos] = value;
}

// Wraps to 0 at the size; the size is a power of two, so a mask does it.
inline void DelayAdvance(DelayLine& line)
{
  line.readPos = (line.readPos + 1) & line.mask;
}

enum class DelayAllocation
{
  Ok,
  OutOfMemory,
  SizeError,
};

// Sizes the ring for `length` samples (a whole number >= 0) and zeroes it.
DelayAllocation DelayLineAllocate(DelayLine& line, double length, const EngineMemory& memory);
void DelayLineRelease(DelayLine& line, const EngineMemory& memory);
// Zeroes the storage and both positions; size and maximum delay stay.
void DelayLineClear(DelayLine& line);
// Same storage and positions as `frames` rounds of write(0) and advance.
// With `storageIsZero` the writes are skipped, as they would change nothing.
void DelayLineWriteZeros(DelayLine& line, int frames, bool storageIsZero);
