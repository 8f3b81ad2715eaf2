#include "engine_params.h"
#include "engine_state.h"

#include <cmath>

namespace
{
// Everything a block reads from the parameters, fixed for the whole block.
struct BlockConstants
{
  VoiceConstants voice;
  ShaperConstants shaper;
  GeneratorTiming bassTiming;
  GeneratorTiming snapTiming;
  double gate;
  double token;
  double rev;
  double revBoost;
  double revSelect;
  double mainVol;
};

// Also runs for blocks of 0 frames: the velocity latch sees every block start.
BlockConstants PrepareBlock(KickEngine& engine)
{
  UpdateVelocityLatch(engine.velocity, engine.params[EngineParam::Voice00_NoteGate],
                      engine.params[EngineParam::Voice00_NoteVelocity]);

  BlockConstants k{};
  k.voice = ComputeVoiceConstants(engine.params, engine.sampleRate, engine.velocity);
  k.shaper = ComputeShaperConstants(engine.params[EngineParam::TransistorDistLoad]);
  k.bassTiming = MakeGeneratorTiming(k.voice.bassAttackTime, k.voice.bassDecayTime,
                                     k.voice.bassPeakHz, k.voice, engine.sampleRate);
  k.snapTiming = MakeGeneratorTiming(k.voice.snapAttackTime, k.voice.snapDecayTime,
                                     k.voice.snapPeakHz, k.voice, engine.sampleRate);
  k.gate = engine.params[EngineParam::Voice00_NoteGate];
  k.token = engine.params[EngineParam::Voice00_NoteRetrig];
  k.rev = UnitParam(engine.params, EngineParam::ReverbOffOn);
  k.revBoost = 1 + 0.5 * k.rev;
  k.revSelect = std::trunc(k.rev + 1);
  k.mainVol = UnitParam(engine.params, EngineParam::MainVolume);
  return k;
}

double BassOut(double bass, double shapedBass, const BlockConstants& k)
{
  return (bass + (shapedBass - bass) * k.shaper.distOn) * k.voice.bassLevel;
}

double DryMix(double snap, double bassOut, const BlockConstants& k)
{
  return (snap * k.voice.snapLevel + bassOut) * 0.5;
}

// The dry mix from a resting voice: +0 unless a level is -0.
double SilentDryMix(const BlockConstants& k)
{
  return DryMix(0.0, BassOut(0.0, 0.0, k), k);
}

double OutputGain(double sample, const BlockConstants& k)
{
  return Clamp(sample * k.revBoost * k.voice.velGain * k.mainVol, -1.2, 1.2);
}

// The reverb's channels are heard only with the switch fully on; below that
// the network runs unheard and both channels are the dry mix.
void WriteOutput(const double* dry, const double* wetLeft, const double* wetRight,
                 const BlockConstants& k, double* left, double* right, int count)
{
  const bool wetHeard = k.revSelect >= 2;
  for (int i = 0; i < count; ++i)
  {
    left[i] = OutputGain(wetHeard ? wetLeft[i] : dry[i], k);
    right[i] = OutputGain(wetHeard ? wetRight[i] : dry[i], k);
  }
}

// The snap ends long before the bass: a resting generator skips its
// envelope and oscillator, which would only compute +0.
void RunGenerator(KickGenerator& gen, const BlockConstants& k, const GeneratorTiming& timing,
                  double sampleRate, double invSampleRate, const CosineTable& table,
                  RenderPath path, double* out, int count)
{
  if (path == RenderPath::Automatic && GeneratorResting(gen, k.token, k.gate))
    RunRestingGenerator(gen, timing.fallCoef, out, count);
  else
    RunKickGeneratorBlock(gen, k.token, k.gate, timing, sampleRate, invSampleRate, table, out,
                          count);
}

void RenderChain(KickEngine& engine, const BlockConstants& k, RenderPath path, double* left,
                 double* right, int frames)
{
  // A local copy: the output buffers could alias the engine's doubles as far
  // as the compiler knows, which would force a reload of every history.
  TransistorShaperState shaper = engine.shaper;
  ShapeMemo& memo = engine.shapeMemo;
  ShapeMemoUse(memo, k.shaper);
  // The clean bass runs the shaper too, unheard, so its histories are right
  // when the distortion comes on.
  const auto shape = [&memo](double z) { return ShapeMemoCurve(memo, z); };
  const ReverbGeometry geometry = engine.reverbGeometry;
  const CosineTable& table = *engine.cosineTable;
  const double sampleRate = engine.sampleRate;
  const double invSampleRate = engine.invSampleRate;
  const bool networkOn = k.rev != 0;

  // Stage by stage over short runs of samples: each stage depends on the one
  // before only sample by sample, so the order of the arithmetic per sample
  // is unchanged, while the processor overlaps the long chains of
  // neighbouring samples.
  constexpr int kRun = 64;
  double bassOut[kRun];
  double dry[kRun];
  double wetLeft[kRun];
  double wetRight[kRun];
  for (int start = 0; start < frames; start += kRun)
  {
    const int n = frames - start < kRun ? frames - start : kRun;
    RunGenerator(engine.bass, k, k.bassTiming, sampleRate, invSampleRate, table, path, bassOut, n);
    for (int i = 0; i < n; ++i)
      bassOut[i] = BassOut(bassOut[i], TransistorShaperWith(shaper, bassOut[i], shape), k);
    RunGenerator(engine.snap, k, k.snapTiming, sampleRate, invSampleRate, table, path, dry, n);
    for (int i = 0; i < n; ++i)
      dry[i] = DryMix(dry[i], bassOut[i], k);
    ReverbNetwork(engine.reverb, geometry, networkOn, dry, wetLeft, wetRight, n);
    WriteOutput(dry, wetLeft, wetRight, k, left + start, right + start, n);
  }

  engine.shaper = shaper;
}

// An all-zero state with the gate low and no token change is a fixed point of
// the chain: every sample would leave the state as it is and render the same
// value. The reverb lines still advance, and with the reverb on the network
// must be at rest too. One history may still move: the distortion's DC
// blocker decays for about a minute after a kick, which is inaudible while
// the distortion is off.
bool BlockIsSilent(const KickEngine& engine, const BlockConstants& k)
{
  if (!GeneratorAtRest(engine.bass, k.token, k.gate) ||
      !GeneratorAtRest(engine.snap, k.token, k.gate) || !ShaperInputsAtRest(engine.shaper))
    return false;
  if (k.shaper.distOn != 0 && !IsPositiveZero(engine.shaper.dcOut)) return false;
  if (k.rev == 0) return true;
  // A -0 dry mix (from -0 levels) would leave -0 in the diffuser.
  return ReverbAtRest(engine.reverb) && IsPositiveZero(SilentDryMix(k));
}

void RenderSilence(KickEngine& engine, const BlockConstants& k, double* left, double* right,
                   int frames)
{
  // What one sample of the chain computes from the resting state.
  const double dry = SilentDryMix(k);
  const double wet = 0.0;
  double frameLeft = 0.0;
  double frameRight = 0.0;
  WriteOutput(&dry, &wet, &wet, k, &frameLeft, &frameRight, 1);
  for (int i = 0; i < frames; ++i)
  {
    left[i] = frameLeft;
    right[i] = frameRight;
  }
  ShaperDecaySilently(engine.shaper, frames);
  ReverbSilentBlock(engine.reverb, frames);
}
} // namespace

int EnginePerformWithPath(KickEngine* engine, double** inputs, double** outputs, int frames,
                          RenderPath path)
{
  if (engine == nullptr) return EngineErrorNullBuffer;
  if (engine->errorCode != 0) return engine->errorCode;
  if (inputs == nullptr || outputs == nullptr || inputs[0] == nullptr || inputs[1] == nullptr ||
      outputs[0] == nullptr || outputs[1] == nullptr)
  {
    engine->errorCode = EngineErrorNullBuffer;
    return engine->errorCode;
  }

  const BlockConstants k = PrepareBlock(*engine);
  if (frames <= 0) return engine->errorCode;
  if (path == RenderPath::Automatic && BlockIsSilent(*engine, k))
    RenderSilence(*engine, k, outputs[0], outputs[1], frames);
  else
    RenderChain(*engine, k, path, outputs[0], outputs[1], frames);
  return engine->errorCode;
}

int EnginePerform(KickEngine* engine, double** inputs, double** outputs, int frames)
{
  return EnginePerformWithPath(engine, inputs, outputs, frames, RenderPath::Automatic);
}
