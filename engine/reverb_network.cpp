#include "reverb_network.h"

#include <cmath>

namespace
{
constexpr double kLineSeconds[kReverbLineCount] = {1,    1,   1,    1,    1,   0.125,
                                                   0.25, 0.5, 0.25, 0.25, 0.5, 0.25};

double PowerOfDecay(double decay, double samples)
{
  return ZeroNonFinite(std::pow(decay, samples));
}

int32_t LargestLineSize(const ReverbState& r)
{
  int32_t largest = 0;
  for (const DelayLine& line : r.lines)
    largest = line.size > largest ? line.size : largest;
  return largest;
}
} // namespace

double ReverbLineSeconds(int line)
{
  return kLineSeconds[line];
}

ReverbGeometry ComputeReverbGeometry(double sampleRate)
{
  // One sample's share of a 60 dB decay over 10.05 s.
  const double decay = ZeroNonFinite(std::pow(0.001, 1 / (10.05 * sampleRate)));
  // 75/340 of a second.
  const double base = sampleRate * 75 * 0.0029411764705882;
  const double spread = std::trunc(base * 0.000527);

  ReverbGeometry g{};
  g.feedbackDelay[0] = base;
  g.feedbackDelay[1] = 0.7071 * base;
  g.feedbackDelay[2] = 0.81649 * base;
  g.feedbackDelay[3] = 0.63245 * base;
  for (int k = 0; k < 4; ++k)
    g.feedbackGain[k] = -PowerOfDecay(decay, g.feedbackDelay[k]);
  g.tapDelay[0] = 0.41 * base + 5;
  g.tapDelay[1] = 0.155 * base + 5;
  g.tapDelay[2] = 0.3 * base + 5;
  g.tapDelay[3] = base + 5;
  for (int k = 0; k < 4; ++k)
    g.tapGain[k] = PowerOfDecay(decay, g.tapDelay[k]);
  g.diffuserDelay = 0.110732 * base;
  g.leftDelay[0] = 165.27705 * spread;
  g.leftDelay[1] = 574.5541 * spread;
  g.leftDelay[2] = 391.16885 * spread;
  g.rightDelay[0] = 130.5817 * spread;
  g.rightDelay[1] = 571.39605 * spread;
  g.rightDelay[2] = 429.02225 * spread;
  return g;
}

void ReverbNoteBlock(ReverbState& r, bool networkOn, int frames)
{
  if (networkOn)
  {
    r.linesClear = false;
    r.zeroWriteRun = 0;
    return;
  }
  if (frames > 0) r.zeroWriteRun += frames;
  // Each line is written once per sample at successive positions, so after
  // as many zero writes as its size every slot holds 0.
  if (r.zeroWriteRun >= LargestLineSize(r)) r.linesClear = true;
}

bool ReverbAtRest(const ReverbState& r)
{
  if (!r.linesClear || !IsPositiveZero(r.inputHistory)) return false;
  for (double history : r.damping)
    if (!IsPositiveZero(history)) return false;
  return true;
}

void ReverbSilentBlock(ReverbState& r, int frames)
{
  for (DelayLine& line : r.lines)
    DelayLineWriteZeros(line, frames, r.linesClear);
  if (frames > 0)
  {
    r.inputHistory = 0.0;
    for (double& history : r.damping)
      history = 0.0;
  }
  ReverbNoteBlock(r, false, frames);
}
