#pragma once

// The two generators of a kick (bass body and snap click): gate conditioning,
// envelope, fall follower and a cosine oscillator whose frequency and
// amplitude both follow the envelope. Everything here runs per sample on the
// audio thread.

#include "cosine_table.h"
#include "numeric_guards.h"

#include <cmath>
#include <cstdint>

enum class EnvelopeStage : int
{
  Idle = 0,
  Attack = 1,
  Decay = 2,
  Done = 3,
  Release = 4,
};

struct KickGenerator
{
  double hold;
  double prevRetrig;
  // The previous conditioned gate, for the edge tests.
  double prevGate;
  EnvelopeStage stage;
  double envPhase;
  double level;
  double releaseStart;
  double follower;
  double oscPhase;
};

struct VelocityLatch
{
  double prevGateOffset;
  double heldVelocity;
};

// Derived once per block from the parameters; each parameter is first
// limited to [0, 1].
struct VoiceConstants
{
  double bassLevel;
  double snapLevel;
  double bassPeakHz;
  double snapPeakHz;
  double bassAttackTime;
  double bassDecayTime;
  double snapAttackTime;
  double snapDecayTime;
  double holdSamples;
  double fallCoef;
  double velGain;
};

// `params` is the engine's parameter array; the velocity latch must already
// hold this block's velocity.
VoiceConstants ComputeVoiceConstants(const double* params, double sampleRate,
                                     const VelocityLatch& latch);

// Once per block: the velocity is taken only when the gate crosses 0.5
// upwards between two block starts.
void UpdateVelocityLatch(VelocityLatch& latch, double gate, double velocity);

// Any change of the token, by any amount, forces the gate low for
// `holdSamples` samples, so a held gate produces a new rising edge.
inline double RetriggerHold(KickGenerator& gen, double token, double gate, double holdSamples)
{
  if (token != gen.prevRetrig) gen.hold = holdSamples;
  gen.prevRetrig = token;
  double conditioned = gate;
  if (gen.hold > 0.0)
  {
    conditioned = 0.0;
    gen.hold = gen.hold - 1.0;
  }
  return conditioned;
}

inline double EnvelopeStep(double seconds, double sampleRate)
{
  const double samples = seconds * sampleRate;
  return samples == 0.0 ? 0.0 : 1.0 / samples;
}

// One generator's block constants. The decay time is also its release scale.
struct GeneratorTiming
{
  double decayTime;
  // EnvelopeStep of each time, the same every sample of a block.
  double attackStep;
  double decayStep;
  double holdSamples;
  double fallCoef;
  double peakHz;
};

GeneratorTiming MakeGeneratorTiming(double attackTime, double decayTime, double peakHz,
                                    const VoiceConstants& k, double sampleRate);

// Attack h^2.001, decay (1 - h)^2.001, then silence while the gate is held; a
// release falls from the level it starts at over decayTime × that level.
inline double KickEnvelope(KickGenerator& gen, double gate, const GeneratorTiming& timing,
                           double sampleRate)
{
  // The release start as it was before this sample's edge.
  const double releaseLen = timing.decayTime * gen.releaseStart;
  const bool rising = gate - gen.prevGate == 1.0;
  const bool falling = gate - gen.prevGate == -1.0;
  gen.prevGate = gate;

  if (rising)
  {
    gen.envPhase = 0.0;
    gen.stage = EnvelopeStage::Attack;
  }
  else if (falling)
  {
    gen.envPhase = 0.0;
    gen.stage = EnvelopeStage::Release;
    gen.releaseStart = gen.level;
  }

  if (gen.stage == EnvelopeStage::Attack)
  {
    gen.envPhase = gen.envPhase + timing.attackStep;
    if (gen.envPhase > 1.0)
    {
      gen.envPhase = 0.0;
      gen.stage = EnvelopeStage::Decay;
    }
    else
      gen.level = std::pow(gen.envPhase, 2.001);
  }
  if (gen.stage == EnvelopeStage::Decay)
  {
    gen.envPhase = gen.envPhase + timing.decayStep;
    if (gen.envPhase > 1.0)
    {
      gen.level = 0.0;
      gen.envPhase = 0.0;
      gen.stage = EnvelopeStage::Done;
    }
    else
      gen.level = std::pow(1.0 - gen.envPhase, 2.001);
  }
  if (gen.stage == EnvelopeStage::Done)
  {
    gen.level = 0.0;
    gen.envPhase = 0.0;
  }
  if (gen.stage == EnvelopeStage::Release)
  {
    gen.envPhase = gen.envPhase + EnvelopeStep(releaseLen, sampleRate);
    // Past h = 1 the power of a negative base is NaN, which the guard zeroes:
    // two thirds of every release need no library call.
    const double base = 1.0 - gen.envPhase;
    const double fall = base < 0.0 ? 0.0 : ZeroNonFinite(std::pow(base, 2.001));
    if (gen.envPhase > 3.0)
    {
      gen.stage = EnvelopeStage::Idle;
      gen.envPhase = 0.0;
      gen.level = 0.0;
    }
    else
      gen.level = gen.releaseStart * fall;
  }
  return gen.level;
}

// Follows rises at once and falls over about 1 ms, so a retrigger or a
// release never drops the amplitude in one step.
inline double FallFollower(KickGenerator& gen, double level, double fallCoef)
{
  const double coef = level > gen.follower ? 1.0 : fallCoef;
  gen.follower = FlushDenormal(gen.follower + (level - gen.follower) * coef);
  return gen.follower < 1e-8 ? 0.0 : gen.follower;
}

inline double Phasor(double& phase, double hz, double invSampleRate)
{
  double p = phase + hz * invSampleRate;
  if (FlushDenormal(p) == 0.0)
    p = 0.0;
  else if (p < 0.0 || p >= 1.0)
    p = p - std::floor(p);
  phase = p;
  return p;
}

// Truncates toward zero onto the 16-bit grid.
inline double Quantize16(double x)
{
  const double limited = Clamp(x, -1.0, 1.0);
  const double q = static_cast<int32_t>(limited * 32768) * 0.000030517578125;
  return Clamp(q, -1.0, 1.0);
}

// Amplitude and frequency are the same follower value; a silent generator
// restarts at phase 0, so every kick from silence begins at the cosine's peak.
inline double KickOscillator(KickGenerator& gen, double follower, double peakHz,
                             double invSampleRate, const CosineTable& cosineTable)
{
  // floor(1 - follower) != 0, without a library call per sample.
  const double rest = 1.0 - follower;
  if (rest < 0.0 || rest >= 1.0) gen.oscPhase = 0.0;
  const double phase = Phasor(gen.oscPhase, follower * peakHz, invSampleRate);
  return Quantize16(follower * CosineLookup(cosineTable, phase));
}

// One generator for one sample: gate conditioning through the quantized
// oscillator output.
inline double RunKickGenerator(KickGenerator& gen, double token, double gate,
                               const GeneratorTiming& timing, double sampleRate,
                               double invSampleRate, const CosineTable& cosineTable)
{
  const double conditioned = RetriggerHold(gen, token, gate, timing.holdSamples);
  const double level = KickEnvelope(gen, conditioned, timing, sampleRate);
  const double follower = FallFollower(gen, level, timing.fallCoef);
  return KickOscillator(gen, follower, timing.peakHz, invSampleRate, cosineTable);
}

// `count` samples of one generator into `out`. Audio thread.
void RunKickGeneratorBlock(KickGenerator& gen, double token, double gate,
                           const GeneratorTiming& timing, double sampleRate, double invSampleRate,
                           const CosineTable& cosineTable, double* out, int count);

// True when the envelope sits still at level +0 (idle, finished, or a
// release from level +0), no edge, hold or token change is pending and the
// follower hands on 0: every sample with this token and gate then yields +0,
// lets the follower decay and leaves the oscillator phase at +0.
bool GeneratorResting(const KickGenerator& gen, double token, double gate);

// `count` samples of a resting generator: the same state and output as
// RunKickGeneratorBlock, without evaluating the envelope or the oscillator.
void RunRestingGenerator(KickGenerator& gen, double fallCoef, double* out, int count);

// Resting with the follower and the phase at +0 as well: a sample then leaves
// the state bit for bit as it is.
bool GeneratorAtRest(const KickGenerator& gen, double token, double gate);
