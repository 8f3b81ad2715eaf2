#include "shape_memo.h"

#include <cstring>

namespace
{
constexpr std::size_t kKnownBytes = sizeof(uint64_t) * kShapeMemoWords;

bool SameConstants(const ShaperConstants& a, const ShaperConstants& b)
{
  // distOn only picks the path; the curve does not read it.
  return SameBits(a.drive1, b.drive1) && SameBits(a.drive2, b.drive2) && SameBits(a.norm, b.norm) &&
         SameBits(a.outScale, b.outScale);
}
} // namespace

std::size_t ShapeMemoBytes()
{
  return kKnownBytes + sizeof(double) * kShapeMemoSlots;
}

void ShapeMemoAttach(ShapeMemo& memo, void* zeroedStorage)
{
  memo.known = static_cast<uint64_t*>(zeroedStorage);
  memo.values = reinterpret_cast<double*>(static_cast<unsigned char*>(zeroedStorage) + kKnownBytes);
}

void ShapeMemoUse(ShapeMemo& memo, const ShaperConstants& k)
{
  if (SameConstants(memo.constants, k)) return;
  std::memset(memo.known, 0, kKnownBytes);
  memo.constants = k;
}
