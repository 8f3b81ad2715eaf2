#pragma once

// One full cosine period sampled at 16384 points, read with linear
// interpolation from a phase in [0, 1).

#include <cstdint>

constexpr int kCosineTableSize = 16384;

struct CosineTable
{
  double entry[kCosineTableSize];
};

void FillCosineTable(CosineTable& table);

// The phase becomes a 32-bit fixed-point value: 14 bits index the table, the
// low 18 bits interpolate. The fraction scale is 1/262143, so the last step
// of every segment reaches just past its right neighbour.
inline double CosineLookup(const CosineTable& table, double phase)
{
  const uint32_t fixedPoint = static_cast<uint32_t>(static_cast<int64_t>(phase * 4294967296.0));
  const uint32_t index = fixedPoint >> 18;
  const double fraction = (fixedPoint & 0x3FFFFu) * 3.81471181759574e-06;
  const double left = table.entry[index];
  return left + (table.entry[(index + 1) & (kCosineTableSize - 1)] - left) * fraction;
}
