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

double UnitParam(const KickEngine& engine, int index)
{
  return Clamp(engine.params[index], 0.0, 1.0);
}

// Also runs for blocks of 0 frames: the velocity latch sees every block start.
BlockConstants PrepareBlock(KickEngine& engine)
{
  engine.invSampleRate = 1 / engine.sampleRate;
  UpdateVelocityLatch(engine.velocity, engine.params[EngineParam::Voice00_NoteGate],
                      engine.params[EngineParam::Voice00_NoteVelocity]);

  BlockConstants k{};
  k.voice = ComputeVoiceConstants(engine.params, engine.sampleRate, engine.velocity);
  k.shaper = ComputeShaperConstants(engine.params[EngineParam::TransistorDistLoad]);
  k.bassTiming = {k.voice.bassAttackTime, k.voice.bassDecayTime, k.voice.holdSamples,
                  k.voice.fallCoef, k.voice.bassPeakHz};
  k.snapTiming = {k.voice.snapAttackTime, k.voice.snapDecayTime, k.voice.holdSamples,
                  k.voice.fallCoef, k.voice.snapPeakHz};
  k.gate = engine.params[EngineParam::Voice00_NoteGate];
  k.token = engine.params[EngineParam::Voice00_NoteRetrig];
  k.rev = UnitParam(engine, EngineParam::ReverbOffOn);
  k.revBoost = 1 + 0.5 * k.rev;
  k.revSelect = std::trunc(k.rev + 1);
  k.mainVol = UnitParam(engine, EngineParam::MainVolume);
  return k;
}

double DryMix(double bass, double shapedBass, double snap, const BlockConstants& k)
{
  const double bassOut = (bass + (shapedBass - bass) * k.shaper.distOn) * k.voice.bassLevel;
  return (snap * k.voice.snapLevel + bassOut) * 0.5;
}

double OutputGain(double sample, const BlockConstants& k)
{
  return Clamp(sample * k.revBoost * k.voice.velGain * k.mainVol, -1.2, 1.2);
}

void WriteFrame(double dry, const StereoSample& wet, const BlockConstants& k, double* left,
                double* right)
{
  const bool wetHeard = k.revSelect >= 2;
  *left = OutputGain(wetHeard ? wet.left : dry, k);
  *right = OutputGain(wetHeard ? wet.right : dry, k);
}

void RenderChain(KickEngine& engine, const BlockConstants& k, double* left, double* right,
                 int frames)
{
  // Local copies: the output buffers could alias the engine's doubles as far
  // as the compiler knows, which would force a reload of every state variable.
  KickGenerator bass = engine.bass;
  KickGenerator snap = engine.snap;
  TransistorShaperState shaper = engine.shaper;
  ReverbState reverb = engine.reverb;
  const ReverbGeometry geometry = engine.reverbGeometry;
  const double* table = engine.cosineTable;
  const double sampleRate = engine.sampleRate;
  const double invSampleRate = engine.invSampleRate;
  const bool networkOn = k.rev != 0;

  for (int i = 0; i < frames; ++i)
  {
    const double bassSample =
        RunKickGenerator(bass, k.token, k.gate, k.bassTiming, sampleRate, invSampleRate, table);
    const double shapedBass = TransistorShaper(shaper, bassSample, k.shaper);
    const double snapSample =
        RunKickGenerator(snap, k.token, k.gate, k.snapTiming, sampleRate, invSampleRate, table);
    const double dry = DryMix(bassSample, shapedBass, snapSample, k);
    StereoSample wet{dry, dry};
    if (networkOn)
      wet = ReverbNetwork(reverb, geometry, dry);
    else
      ReverbSilence(reverb);
    ReverbAdvance(reverb);
    WriteFrame(dry, wet, k, &left[i], &right[i]);
  }
  ReverbNoteBlock(reverb, networkOn, frames);

  engine.bass = bass;
  engine.snap = snap;
  engine.shaper = shaper;
  engine.reverb = reverb;
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
  return ReverbAtRest(engine.reverb) && IsPositiveZero(DryMix(0.0, 0.0, 0.0, k));
}

void RenderSilence(KickEngine& engine, const BlockConstants& k, double* left, double* right,
                   int frames)
{
  // What one sample of the chain computes from the resting state.
  const double dry = DryMix(0.0, 0.0, 0.0, k);
  const StereoSample wet{0.0, 0.0};
  double frameLeft = 0.0;
  double frameRight = 0.0;
  WriteFrame(dry, wet, k, &frameLeft, &frameRight);
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
    RenderChain(*engine, k, outputs[0], outputs[1], frames);
  return engine->errorCode;
}

int EnginePerform(KickEngine* engine, double** inputs, double** outputs, int frames)
{
  return EnginePerformWithPath(engine, inputs, outputs, frames, RenderPath::Automatic);
}
