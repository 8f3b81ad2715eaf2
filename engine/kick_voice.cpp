#include "kick_voice.h"

#include "engine_params.h"

namespace
{
double Square(double x)
{
  return x * x;
}
} // namespace

VoiceConstants ComputeVoiceConstants(const double* params, double sampleRate,
                                     const VelocityLatch& latch)
{
  VoiceConstants k{};
  k.bassLevel = UnitParam(params, EngineParam::BassAmpLevel);
  k.snapLevel = UnitParam(params, EngineParam::SnapAmpLevel);
  k.bassPeakHz = 50 + 450 * UnitParam(params, EngineParam::BassPitchAmt);
  k.snapPeakHz = 1000 + 4000 * UnitParam(params, EngineParam::SnapPitchAmt);
  k.bassAttackTime =
      10 * Clamp(Square(0.1 * UnitParam(params, EngineParam::BassEnvAttack)), 0.0001, 1);
  k.bassDecayTime =
      10 * Clamp(Square(0.01 + 0.49 * UnitParam(params, EngineParam::BassEnvDecay)), 0.0001, 1);
  k.snapAttackTime = 0.001;
  k.snapDecayTime =
      10 * Clamp(Square(0.01 + 0.15 * UnitParam(params, EngineParam::SnapEnvDecay)), 0.0001, 1);
  k.holdSamples = std::trunc(sampleRate * 0.001);
  const double oneMs = std::fabs(sampleRate * 0.001);
  k.fallCoef = 1 / (oneMs > 1 ? oneMs : 1.0);
  k.velGain = (latch.heldVelocity - 1) * UnitParam(params, EngineParam::VelAmpOffOn) + 1;
  return k;
}

GeneratorTiming MakeGeneratorTiming(double attackTime, double decayTime, double peakHz,
                                    const VoiceConstants& k, double sampleRate)
{
  return {decayTime,
          EnvelopeStep(attackTime, sampleRate),
          EnvelopeStep(decayTime, sampleRate),
          k.holdSamples,
          k.fallCoef,
          peakHz};
}

void RunKickGeneratorBlock(KickGenerator& gen, double token, double gate,
                           const GeneratorTiming& timing, double sampleRate, double invSampleRate,
                           const CosineTable& cosineTable, double* out, int count)
{
  // A local copy the compiler can keep in registers: `out` could alias the
  // generator's doubles as far as it knows.
  KickGenerator local = gen;
  for (int i = 0; i < count; ++i)
    out[i] = RunKickGenerator(local, token, gate, timing, sampleRate, invSampleRate, cosineTable);
  gen = local;
}

void UpdateVelocityLatch(VelocityLatch& latch, double gate, double velocity)
{
  const double gateOffset = gate - 0.5;
  if (latch.prevGateOffset <= 0 && gateOffset > 0)
    latch.heldVelocity = Clamp(velocity * 0.00787, 0, 1);
  latch.prevGateOffset = gateOffset;
}

bool GeneratorResting(const KickGenerator& gen, double token, double gate)
{
  // The conditioned gate is the gate itself and stores the same bits.
  const bool quietInput =
      SameBits(gate, gen.prevGate) && !(gen.hold > 0.0) && SameBits(token, gen.prevRetrig);
  // Any follower below the cut hands on 0 and only decays further.
  if (!quietInput || !IsPositiveZero(gen.level) || !(gen.follower < 1e-8)) return false;
  switch (gen.stage)
  {
  case EnvelopeStage::Idle:
    return true;
  case EnvelopeStage::Done:
    return IsPositiveZero(gen.envPhase);
  case EnvelopeStage::Release:
    // A release from level +0 steps by 0: it never advances, never ends and
    // its level stays +0 (h = -0 would turn into +0).
    return IsPositiveZero(gen.releaseStart) && gen.envPhase <= 3.0 && !SameBits(gen.envPhase, -0.0);
  default:
    return false;
  }
}

void RunRestingGenerator(KickGenerator& gen, double fallCoef, double* out, int count)
{
  KickGenerator local = gen;
  // Once the follower is +0 it stays there.
  for (int i = 0; i < count && !IsPositiveZero(local.follower); ++i)
    FallFollower(local, local.level, fallCoef);
  if (count > 0) local.oscPhase = 0.0;
  for (int i = 0; i < count; ++i)
    out[i] = 0.0;
  gen = local;
}

bool GeneratorAtRest(const KickGenerator& gen, double token, double gate)
{
  return GeneratorResting(gen, token, gate) && IsPositiveZero(gen.follower) &&
         IsPositiveZero(gen.oscPhase);
}
