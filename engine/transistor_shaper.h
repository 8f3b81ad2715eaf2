#pragma once

// The bass distortion: a tanh curve evaluated at twice the sample rate
// (midpoints between inputs) and brought back with the weights 1/4, 1/2, 1/4,
// followed by a DC blocker. The distorted bass lags the clean one by one and
// a half samples. Per sample, audio thread.

#include "numeric_guards.h"

#include <cmath>

struct TransistorShaperState
{
  double prevInput;
  double prevMid;
  double prevSample;
  double dcIn;
  double dcOut;
};

struct ShaperConstants
{
  double distOn;
  double drive1;
  double drive2;
  double norm;
  double outScale;
};

// `load` is TransistorDistLoad; 0 keeps the clean bass.
ShaperConstants ComputeShaperConstants(double load);

inline double ShapeCurve(double z, const ShaperConstants& k)
{
  const double shaped =
      k.norm == 0.0 ? 0.0 : k.outScale * std::tanh(z * k.drive1 * k.drive2) / k.norm;
  return Clamp(shaped, -1.0, 1.0);
}

// One sample, with `shape` evaluating ShapeCurve under the block's constants.
template <typename Curve>
inline double TransistorShaperWith(TransistorShaperState& s, double input, Curve&& shape)
{
  const double mid = (input - s.prevInput) * 0.5 + s.prevInput;
  const double midShaped = shape(mid);
  const double sampleShaped = shape(s.prevInput);
  const double smoothed = (sampleShaped + (s.prevSample - sampleShaped) * 0.5 + s.prevMid) * 0.5;
  const double blocked = smoothed - s.dcIn + FlushDenormal(s.dcOut * 0.9997);
  s.dcIn = smoothed;
  s.dcOut = blocked;
  s.prevInput = FlushDenormal(input);
  s.prevMid = FlushDenormal(midShaped);
  s.prevSample = FlushDenormal(sampleShaped);
  return FlushDenormal(blocked);
}

inline double TransistorShaper(TransistorShaperState& s, double input, const ShaperConstants& k)
{
  return TransistorShaperWith(s, input, [&k](double z) { return ShapeCurve(z, k); });
}

// True when the input histories are +0: a +0 input then leaves everything but
// the DC blocker's output unchanged, and that only decays towards 0.
bool ShaperInputsAtRest(const TransistorShaperState& s);

// `frames` samples of +0 input into a shaper whose inputs are at rest: the
// same state as the per-sample path.
void ShaperDecaySilently(TransistorShaperState& s, int frames);
