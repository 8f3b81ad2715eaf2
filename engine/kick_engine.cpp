#include "kick_engine.h"

#include "cosine_table.h"
#include "engine_params.h"
#include "engine_state.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <new>

namespace
{
// A rate that is not finite and positive turns the chain into NaNs, and so
// does a tiny one whose inverse overflows the oscillator increments; no host
// runs below 1 Hz, so that is the floor.
bool UsableSampleRate(double sampleRate)
{
  return std::isfinite(sampleRate) && sampleRate >= 1.0;
}

bool ValidIndex(int index)
{
  return index >= 0 && index < kEngineNumParams;
}

void ReleaseStorage(KickEngine* engine)
{
  const EngineMemory memory = engine->memory;
  for (DelayLine& line : engine->reverb.lines)
    if (line.storage != nullptr) DelayLineRelease(line, memory);
  if (engine->cosineTable != nullptr) memory.release(engine->cosineTable);
  engine->~KickEngine();
  memory.release(engine);
}

// Frame counts from doubles that a huge sample rate could push past int.
int FramesFromCount(double count)
{
  return count < static_cast<double>(std::numeric_limits<int>::max())
             ? static_cast<int>(std::ceil(count))
             : std::numeric_limits<int>::max();
}

double HoldSamples(const KickEngine& engine)
{
  return ComputeVoiceConstants(engine.params, engine.sampleRate, engine.velocity).holdSamples;
}

// Sizes every reverb line for the creation sample rate, once in the
// engine's life.
bool AllocateDelayLines(KickEngine* engine, double sampleRate)
{
  for (int i = 0; i < kReverbLineCount; ++i)
  {
    const double length = std::trunc(sampleRate * ReverbLineSeconds(i));
    switch (DelayLineAllocate(engine->reverb.lines[i], length, engine->memory))
    {
    case DelayAllocation::Ok:
      break;
    case DelayAllocation::OutOfMemory:
      ReportEngineMemoryFailure("allocating [data]: out of memory");
      return false;
    case DelayAllocation::SizeError:
      ReportEngineMemoryFailure("delay memory size error");
      return false;
    }
  }
  return true;
}
} // namespace

KickEngine* EngineCreateWithMemory(double sampleRate, const EngineMemory& memory)
{
  if (!UsableSampleRate(sampleRate)) return nullptr;
  void* block = memory.allocateZeroed(1, sizeof(KickEngine) + ShapeMemoBytes());
  if (block == nullptr) return nullptr;
  KickEngine* engine = new (block) KickEngine{};
  engine->memory = memory;
  ShapeMemoAttach(engine->shapeMemo, static_cast<unsigned char*>(block) + sizeof(KickEngine));

  engine->cosineTable = static_cast<CosineTable*>(memory.allocateZeroed(1, sizeof(CosineTable)));
  if (engine->cosineTable == nullptr)
  {
    ReportEngineMemoryFailure("out of memory");
    ReleaseStorage(engine);
    return nullptr;
  }
  FillCosineTable(*engine->cosineTable);
  if (!AllocateDelayLines(engine, sampleRate))
  {
    ReleaseStorage(engine);
    return nullptr;
  }
  EngineReset(engine, sampleRate, 1024);

  engine->numInputs = 2;
  engine->numOutputs = 2;
  engine->inputNames[0] = "in1";
  engine->inputNames[1] = "in2";
  engine->outputNames[0] = "audio_out_1";
  engine->outputNames[1] = "audio_out_2";
  engine->numParams = kEngineNumParams;
  for (int i = 0; i < kEngineNumParams; ++i)
    engine->paramInfo[i] = MakeEngineParamInfo(i);
  return engine;
}

KickEngine* EngineCreate(double sampleRate)
{
  return EngineCreateWithMemory(sampleRate, HeapEngineMemory());
}

void EngineReset(KickEngine* engine, double sampleRate, int blockSize)
{
  if (engine == nullptr) return;
  if (UsableSampleRate(sampleRate)) engine->sampleRate = sampleRate;
  engine->blockSize = blockSize;
  engine->errorCode = 0;

  ReverbClear(engine->reverb);
  engine->bass = KickGenerator{};
  engine->snap = KickGenerator{};
  engine->velocity = VelocityLatch{};
  engine->shaper = TransistorShaperState{};

  for (int i = 0; i < kEngineNumParams; ++i)
    engine->params[i] = EngineParamRangeAt(i).resetValue;
  engine->invSampleRate = 1 / engine->sampleRate;
  engine->reverbGeometry = ComputeReverbGeometry(engine->sampleRate);
}

void EngineSetParam(KickEngine* engine, int index, double value)
{
  if (engine == nullptr || !ValidIndex(index)) return;
  engine->params[index] = LimitParamValue(index, value);
}

void EngineDestroy(KickEngine* engine)
{
  if (engine != nullptr) ReleaseStorage(engine);
}

int EngineNumParams(const KickEngine* engine)
{
  return engine != nullptr ? engine->numParams : 0;
}

const EngineParamInfo* EngineGetParamInfo(const KickEngine* engine, int index)
{
  if (engine == nullptr || !ValidIndex(index)) return nullptr;
  return &engine->paramInfo[index];
}

double EngineGetParam(const KickEngine* engine, int index)
{
  if (engine == nullptr || !ValidIndex(index)) return 0.0;
  return engine->params[index];
}

double EngineGetSampleRate(const KickEngine* engine)
{
  return engine != nullptr ? engine->sampleRate : 0.0;
}

int EngineGetBlockSize(const KickEngine* engine)
{
  return engine != nullptr ? engine->blockSize : 0;
}

int EngineGetErrorCode(const KickEngine* engine)
{
  return engine != nullptr ? engine->errorCode : 0;
}

int EngineFramesUntilGateEdge(const KickEngine* engine)
{
  if (engine == nullptr) return 0;
  const double gate = engine->params[EngineParam::Voice00_NoteGate];
  const double token = engine->params[EngineParam::Voice00_NoteRetrig];
  int frames = 0;
  for (const KickGenerator* gen : {&engine->bass, &engine->snap})
  {
    // A token change starts a new hold at the next sample.
    const bool tokenChanged = token != gen->prevRetrig;
    const double hold = tokenChanged ? HoldSamples(*engine) : gen->hold;
    double pending = 0.0;
    if (hold > 0.0)
      pending = std::ceil(hold) + 1.0;
    else if (tokenChanged || gen->prevGate != gate)
      pending = 1.0;
    frames = std::max(frames, FramesFromCount(pending));
  }
  return frames;
}

int EngineRetriggerHoldFrames(const KickEngine* engine)
{
  return engine != nullptr ? FramesFromCount(HoldSamples(*engine)) : 0;
}

int EngineNumInputs(const KickEngine* engine)
{
  return engine != nullptr ? engine->numInputs : 0;
}

int EngineNumOutputs(const KickEngine* engine)
{
  return engine != nullptr ? engine->numOutputs : 0;
}

const char* EngineGetInputName(const KickEngine* engine, int channel)
{
  if (engine == nullptr || channel < 0 || channel >= engine->numInputs) return nullptr;
  return engine->inputNames[channel];
}

const char* EngineGetOutputName(const KickEngine* engine, int channel)
{
  if (engine == nullptr || channel < 0 || channel >= engine->numOutputs) return nullptr;
  return engine->outputNames[channel];
}
