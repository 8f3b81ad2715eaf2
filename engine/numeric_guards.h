#pragma once

// Guards on the bit pattern of IEEE-754 doubles. They test bits rather than
// magnitudes so the result never depends on the processor's denormal mode.

#include <cstdint>
#include <cstring>

inline uint64_t DoubleBits(double x)
{
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

inline uint64_t ExponentField(double x)
{
  return (DoubleBits(x) >> 52) & 0x7FF;
}

// Values below 2^-1021 in magnitude become 0, so recursions never crawl
// through denormals.
inline double FlushDenormal(double x)
{
  return (x != 0.0 && ExponentField(x) <= 1) ? 0.0 : x;
}

// Infinities, NaNs and magnitudes of 2^1023 or more become 0.
inline double ZeroNonFinite(double x)
{
  return (ExponentField(x) & 0x7FE) == 0x7FE ? 0.0 : x;
}

inline bool SameBits(double a, double b)
{
  return DoubleBits(a) == DoubleBits(b);
}

inline bool IsPositiveZero(double x)
{
  return DoubleBits(x) == 0;
}

inline double Clamp(double x, double lo, double hi)
{
  if (x < lo) return lo;
  if (x > hi) return hi;
  return x;
}
