#include "transistor_shaper.h"

ShaperConstants ComputeShaperConstants(double load)
{
  const double limited = Clamp(load, 0.0, 1.0);
  ShaperConstants k{};
  k.distOn = limited > 0 ? 1.0 : 0.0;
  const double d3 = ZeroNonFinite(std::pow(limited, 3.0));
  k.drive1 = 4 * d3 + 1;
  k.drive2 = 7.846 * d3 + 1.154;
  k.norm = std::tanh(k.drive2);
  k.outScale = 0.9 - 0.2 * ZeroNonFinite(std::pow(d3, 0.45));
  return k;
}

bool ShaperInputsAtRest(const TransistorShaperState& s)
{
  return IsPositiveZero(s.prevInput) && IsPositiveZero(s.prevMid) && IsPositiveZero(s.prevSample) &&
         IsPositiveZero(s.dcIn);
}

void ShaperDecaySilently(TransistorShaperState& s, int frames)
{
  // With every input history at +0 the smoothed sample is +0, so the blocker
  // output is +0 + its own decayed value; it reaches 0 after about a minute.
  for (int i = 0; i < frames && !IsPositiveZero(s.dcOut); ++i)
    s.dcOut = (0.0 - 0.0) + FlushDenormal(s.dcOut * 0.9997);
}
