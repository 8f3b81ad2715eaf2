#pragma once

// Stereo reverb on the mono dry mix: four damped feedback lines fed through a
// diffuser and a four-tap line, mixed by a 4 × 4 matrix, then three allpasses
// per channel.

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

// Zeroes every line, position and history; the line sizes stay. Never
// allocates.
void ReverbClear(ReverbState& r);

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

// Renders `count` samples of the network for the dry mix `dry`: with the
// network on, its two channels; off, the lines are overwritten with zeros one
// position per sample (so an old tail cannot return when it is switched on
// again) and both channels are the dry mix. Every line advances once per
// sample either way. Audio thread; `left` and `right` may not alias `dry`
// or each other.
void ReverbNetwork(ReverbState& r, const ReverbGeometry& g, bool networkOn, const double* dry,
                   double* left, double* right, int count);

// True when a +0 input leaves the network (switched on) exactly as it is and
// yields +0 on both sides.
bool ReverbAtRest(const ReverbState& r);

// `frames` samples of +0 input with the network off, or on and at rest: the
// same storage, positions and histories as ReverbNetwork.
void ReverbSilentBlock(ReverbState& r, int frames);
