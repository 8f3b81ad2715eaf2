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

bool GeneratorAtRest(const KickGenerator& gen, double token, double gate)
{
  const bool quietInput = IsPositiveZero(gate) && IsPositiveZero(gen.prevGate) &&
                          !(gen.hold > 0.0) && SameBits(token, gen.prevRetrig);
  const bool silent =
      IsPositiveZero(gen.level) && IsPositiveZero(gen.follower) && IsPositiveZero(gen.oscPhase);
  if (!quietInput || !silent) return false;
  switch (gen.stage)
  {
  case EnvelopeStage::Idle:
    return true;
  case EnvelopeStage::Done:
    return IsPositiveZero(gen.envPhase);
  case EnvelopeStage::Release:
    // A release from level 0 has a step of 0: it never advances or ends.
    return IsPositiveZero(gen.releaseStart) && !(gen.envPhase > 3.0);
  default:
    return false;
  }
}
