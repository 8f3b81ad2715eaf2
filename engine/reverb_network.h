#pragma once

// Stereo reverb on the mono dry mix: four damped feedback lines fed through a
// diffuser and a four-tap line, mixed by a 4 × 4 matrix, then three allpasses
// per channel. Per sample, audio thread.

#include "delay_line.h"
#include "numeric_guards.h"

#include <cstdint>

enum ReverbLine : int
{
  kFeedback1,
  kFeedback2,
  kFeedback3,
  kFeedback4,
  kTapLine,
  kDiffuser,
  kLeftAllpass1,
  kLeftAllpass2,
  kLeftAllpass3,
  kRightAllpass1,
  kRightAllpass2,
  kRightAllpass3,
  kReverbLineCount,
};

// Length of each line in seconds of the creation sample rate.
double ReverbLineSeconds(int line);

struct ReverbState
{
  double inputHistory;
  double damping[4];
  DelayLine lines[kReverbLineCount];
  // Every slot of every line holds +0 (true after a reset).
  bool linesClear;
  // Consecutive samples, up to now, that wrote only zeros into every line.
  int64_t zeroWriteRun;
};

// Lengths and gains; they depend only on the sample rate.
struct ReverbGeometry
{
  double feedbackDelay[4];
  double feedbackGain[4];
  double tapDelay[4];
  double tapGain[4];
  double diffuserDelay;
  double leftDelay[3];
  double rightDelay[3];
};

ReverbGeometry ComputeReverbGeometry(double sampleRate);

struct StereoSample
{
  double left;
  double right;
};

inline double ReverbAllpass(DelayLine& line, double delay, double coef, double input)
{
  const double out = DelayRead(line, delay);
  const double w = input - coef * out;
  DelayWrite(line, FlushDenormal(w));
  return coef * w + out;
}

// The network for one sample with the reverb switched on; the lines still
// need their advance afterwards.
inline StereoSample ReverbNetwork(ReverbState& r, const ReverbGeometry& g, double x)
{
  const double in = (x + x) * 0.707;
  // A one-pole with coefficient 0: the input passes unchanged.
  r.inputHistory = FlushDenormal((r.inputHistory - in) * 0 + in);

  double q[4];
  for (int k = 0; k < 4; ++k)
  {
    const double out = DelayRead(r.lines[kFeedback1 + k], g.feedbackDelay[k]);
    q[k] = (r.damping[k] - out * g.feedbackGain[k]) * 0.99 + out * g.feedbackGain[k];
    r.damping[k] = FlushDenormal(q[k]);
  }
  double taps[4];
  for (int k = 0; k < 4; ++k)
    taps[k] = DelayRead(r.lines[kTapLine], g.tapDelay[k]) * g.tapGain[k];

  const double a = ((q[2] + q[0]) - (q[3] + q[1])) / 2;
  const double b = ((q[3] + q[1]) + (q[2] + q[0])) / 2;
  const double c = ((q[0] - q[2]) - (q[1] - q[3])) / 2;
  const double d = -((q[1] - q[3]) + (q[0] - q[2])) / 2;
  DelayWrite(r.lines[kFeedback1], FlushDenormal(a + taps[0]));
  DelayWrite(r.lines[kFeedback2], FlushDenormal(d + taps[1]));
  DelayWrite(r.lines[kFeedback3], FlushDenormal(c + taps[2]));
  DelayWrite(r.lines[kFeedback4], FlushDenormal(b + taps[3]));

  const double diffused = DelayRead(r.lines[kDiffuser], g.diffuserDelay);
  const double wd = in - 0.75 * diffused;
  DelayWrite(r.lines[kDiffuser], FlushDenormal(wd));
  DelayWrite(r.lines[kTapLine], FlushDenormal(0.75 * wd + diffused));

  const double tail = 0.25 * (d + a - c - b) + x;
  double left = tail;
  double right = tail;
  static constexpr double kAllpassCoefs[3] = {0.75, 0.625, 0.625};
  for (int k = 0; k < 3; ++k)
  {
    left = ReverbAllpass(r.lines[kLeftAllpass1 + k], g.leftDelay[k], kAllpassCoefs[k], left);
    right = ReverbAllpass(r.lines[kRightAllpass1 + k], g.rightDelay[k], kAllpassCoefs[k], right);
  }
  return {0.5 * left + 0.5 * x, 0.5 * right + 0.5 * x};
}

// The reverb switched off: its lines are overwritten with zeros one position
// per sample, so an old tail cannot return when it is switched on again.
inline void ReverbSilence(ReverbState& r)
{
  for (DelayLine& line : r.lines)
    DelayWrite(line, 0.0);
  r.inputHistory = 0.0;
  for (double& history : r.damping)
    history = 0.0;
}

inline void ReverbAdvance(ReverbState& r)
{
  for (DelayLine& line : r.lines)
    DelayAdvance(line);
}

// Bookkeeping of the zero-storage guarantee, once per block of the full
// network: `networkOn` blocks may write anything.
void ReverbNoteBlock(ReverbState& r, bool networkOn, int frames);

// True when a +0 input leaves the network (switched on) exactly as it is and
// yields +0 on both sides.
bool ReverbAtRest(const ReverbState& r);

// `frames` samples of +0 input with the network off, or on and at rest: the
// same storage, positions and histories as the per-sample path.
void ReverbSilentBlock(ReverbState& r, int frames);
