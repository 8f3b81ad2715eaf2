#pragma once

// Guards on the bit pattern of IEEE-754 doubles. They test bits rather than
// values so the result never depends on the processor's denormal mode.

#include <cstdint>
#include <cstring>

inline uint64_t DoubleBits(double x)
{
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// The bits without the sign: exponent field and fraction.
inline uint64_t MagnitudeBits(double x)
{
  return DoubleBits(x) & 0x7FFFFFFFFFFFFFFFull;
}

// Values below 2^-1021 in magnitude (exponent field 0 or 1) become 0, so
// recursions never crawl through denormals; zeros keep their sign.
inline double FlushDenormal(double x)
{
  // Unsigned wrap-around: magnitudes 1 … 2^53 - 1 are the nonzero ones with
  // an exponent field of 0 or 1.
  return MagnitudeBits(x) - 1 < 0x001FFFFFFFFFFFFFull ? 0.0 : x;
}

// Exponent fields 0x7FE and 0x7FF (infinities, NaNs and magnitudes of 2^1023
// or more) become 0.
inline double ZeroNonFinite(double x)
{
  return MagnitudeBits(x) >= 0x7FE0000000000000ull ? 0.0 : x;
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
