#pragma once

// Remembers the shaper's curve on the grid its inputs live on. The bass
// reaching the shaper is quantized to 2^-15 steps in [-1, 1], and the
// midpoint of two such samples lies on the 2^-16 grid, so a kick only ever
// asks for 131073 different values; each is computed once by the same
// expression and then read back, the same bits without the tanh.

#include "transistor_shaper.h"

#include <cstddef>
#include <cstdint>

constexpr int32_t kShapeMemoHalfSpan = 65536;
constexpr int32_t kShapeMemoSlots = 2 * kShapeMemoHalfSpan + 1;
constexpr int32_t kShapeMemoWords = (kShapeMemoSlots + 63) / 64;

struct ShapeMemo
{
  // The curve the stored values belong to.
  ShaperConstants constants;
  // One bit per slot: its value is stored.
  uint64_t* known;
  double* values;
};

// Bytes of zeroed storage ShapeMemoAttach expects; nothing is stored yet.
std::size_t ShapeMemoBytes();
void ShapeMemoAttach(ShapeMemo& memo, void* zeroedStorage);

// Once per block: values of another curve are forgotten. Audio thread.
void ShapeMemoUse(ShapeMemo& memo, const ShaperConstants& k);

// ShapeCurve(z, memo.constants); inputs off the grid are computed each time.
inline double ShapeMemoCurve(ShapeMemo& memo, double z)
{
  const double scaled = z * kShapeMemoHalfSpan;
  // Also false for NaN.
  if (!(scaled >= -kShapeMemoHalfSpan && scaled <= kShapeMemoHalfSpan))
    return ShapeCurve(z, memo.constants);
  const int32_t offset = static_cast<int32_t>(scaled);
  // -0 shapes to -0, which slot 0 (+0) would not give.
  if (offset != scaled || SameBits(z, -0.0)) return ShapeCurve(z, memo.constants);
  const int32_t slot = offset + kShapeMemoHalfSpan;
  const uint64_t bit = uint64_t{1} << (slot & 63);
  uint64_t& word = memo.known[slot >> 6];
  if ((word & bit) == 0)
  {
    memo.values[slot] = ShapeCurve(z, memo.constants);
    word |= bit;
  }
  return memo.values[slot];
}
