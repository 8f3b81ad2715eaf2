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

namespace
{
// The feedback, tap and diffuser reads of a sample, limited to their lines.
// Only the first sample after a reset may read a delay below 1, so the limits
// are worked out again after a run's first sample.
struct ReverbReads
{
  double feedback[4];
  double tap[4];
  double diffuser;
};

ReverbReads LimitReads(const ReverbState& r, const ReverbGeometry& g)
{
  ReverbReads reads{};
  for (int k = 0; k < 4; ++k)
  {
    reads.feedback[k] = DelayLimit(r.lines[kFeedback1 + k], g.feedbackDelay[k]);
    reads.tap[k] = DelayLimit(r.lines[kTapLine], g.tapDelay[k]);
  }
  reads.diffuser = DelayLimit(r.lines[kDiffuser], g.diffuserDelay);
  return reads;
}

void AdvanceLines(ReverbState& r, int first, int last)
{
  for (int i = first; i <= last; ++i)
    DelayAdvance(r.lines[i]);
}

// Input, feedback lines, taps and diffuser for one sample; returns the tail
// that feeds the allpasses. Values written into lines and histories are
// flushed.
inline double NetworkTail(ReverbState& r, const ReverbGeometry& g, const ReverbReads& reads,
                          double x)
{
  const double in = (x + x) * 0.707;
  // A one-pole with coefficient 0: the input passes unchanged.
  r.inputHistory = FlushDenormal((r.inputHistory - in) * 0 + in);

  double q[4];
  for (int k = 0; k < 4; ++k)
  {
    const double out = DelayReadLimited(r.lines[kFeedback1 + k], reads.feedback[k]);
    q[k] = (r.damping[k] - out * g.feedbackGain[k]) * 0.99 + out * g.feedbackGain[k];
    r.damping[k] = FlushDenormal(q[k]);
  }
  double taps[4];
  for (int k = 0; k < 4; ++k)
    taps[k] = DelayReadLimited(r.lines[kTapLine], reads.tap[k]) * g.tapGain[k];

  const double a = ((q[2] + q[0]) - (q[3] + q[1])) / 2;
  const double b = ((q[3] + q[1]) + (q[2] + q[0])) / 2;
  const double c = ((q[0] - q[2]) - (q[1] - q[3])) / 2;
  const double d = -((q[1] - q[3]) + (q[0] - q[2])) / 2;
  DelayWrite(r.lines[kFeedback1], FlushDenormal(a + taps[0]));
  DelayWrite(r.lines[kFeedback2], FlushDenormal(d + taps[1]));
  DelayWrite(r.lines[kFeedback3], FlushDenormal(c + taps[2]));
  DelayWrite(r.lines[kFeedback4], FlushDenormal(b + taps[3]));

  const double diffused = DelayReadLimited(r.lines[kDiffuser], reads.diffuser);
  const double wd = in - 0.75 * diffused;
  DelayWrite(r.lines[kDiffuser], FlushDenormal(wd));
  DelayWrite(r.lines[kTapLine], FlushDenormal(0.75 * wd + diffused));

  return 0.25 * (d + a - c - b) + x;
}

// One allpass over a run of samples, in place. Each allpass line is used by
// its own stage only, so the stages can run one after the other.
void AllpassRun(DelayLine& shared, double delay, double coef, double* signal, int count)
{
  DelayLine line = shared;
  double limited = DelayLimit(line, delay);
  for (int i = 0; i < count; ++i)
  {
    const double out = DelayReadLimited(line, limited);
    const double w = signal[i] - coef * out;
    DelayWrite(line, FlushDenormal(w));
    DelayAdvance(line);
    signal[i] = coef * w + out;
    if (i == 0) limited = DelayLimit(line, delay);
  }
  shared = line;
}

constexpr double kAllpassCoefs[3] = {0.75, 0.625, 0.625};

// Feedback network and diffuser first, then each allpass, each stage over
// the whole run: every line keeps its own order of reads and writes, and
// with it every value.
void RunSwitchedOn(ReverbState& state, const ReverbGeometry& g, const double* dry, double* left,
                   double* right, int count)
{
  // A local copy the compiler can keep in registers: the line storage could
  // alias the histories as far as it knows.
  ReverbState r = state;
  ReverbReads reads = LimitReads(r, g);
  for (int i = 0; i < count; ++i)
  {
    left[i] = NetworkTail(r, g, reads, dry[i]);
    AdvanceLines(r, kFeedback1, kDiffuser);
    if (i == 0) reads = LimitReads(r, g);
  }
  for (int i = 0; i < count; ++i)
    right[i] = left[i];
  for (int k = 0; k < 3; ++k)
  {
    AllpassRun(r.lines[kLeftAllpass1 + k], g.leftDelay[k], kAllpassCoefs[k], left, count);
    AllpassRun(r.lines[kRightAllpass1 + k], g.rightDelay[k], kAllpassCoefs[k], right, count);
  }
  for (int i = 0; i < count; ++i)
  {
    left[i] = 0.5 * left[i] + 0.5 * dry[i];
    right[i] = 0.5 * right[i] + 0.5 * dry[i];
  }
  state = r;
}

// Keeps track of whether every line is known to hold only zeros. Runs of the
// network may write anything.
void NoteRun(ReverbState& r, bool networkOn, int frames)
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
} // namespace

void ReverbNetwork(ReverbState& r, const ReverbGeometry& g, bool networkOn, const double* dry,
                   double* left, double* right, int count)
{
  if (!networkOn)
  {
    ReverbSilentBlock(r, count);
    for (int i = 0; i < count; ++i)
    {
      left[i] = dry[i];
      right[i] = dry[i];
    }
    return;
  }
  RunSwitchedOn(r, g, dry, left, right, count);
  NoteRun(r, true, count);
}

void ReverbClear(ReverbState& r)
{
  for (DelayLine& line : r.lines)
    DelayLineClear(line);
  r.inputHistory = 0.0;
  for (double& history : r.damping)
    history = 0.0;
  r.linesClear = true;
  r.zeroWriteRun = 0;
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
  NoteRun(r, false, frames);
}
