#include "noise.h"

#include <cmath>

float LatticeNoise(std::int32_t x, std::int32_t y, std::uint32_t stream)
{
  // Integer mixing in the manner of a finaliser: every input bit reaches
  // every output bit.
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                    static_cast<std::uint32_t>(y) * 0xD8163841u ^ stream * 0xCB1AB31Fu;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return static_cast<float>(h >> 8) / 16777216.0f;
}

namespace
{
float SmoothStep(float t)
{
  return t * t * (3.0f - 2.0f * t);
}
} // namespace

float ValueNoise(float x, float y, std::uint32_t stream)
{
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const auto ix = static_cast<std::int32_t>(fx);
  const auto iy = static_cast<std::int32_t>(fy);
  const float tx = SmoothStep(x - fx);
  const float ty = SmoothStep(y - fy);
  const float top = LatticeNoise(ix, iy, stream) +
                    (LatticeNoise(ix + 1, iy, stream) - LatticeNoise(ix, iy, stream)) * tx;
  const float bottom =
      LatticeNoise(ix, iy + 1, stream) +
      (LatticeNoise(ix + 1, iy + 1, stream) - LatticeNoise(ix, iy + 1, stream)) * tx;
  return top + (bottom - top) * ty;
}
