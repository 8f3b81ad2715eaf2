#pragma once

// The engine object. Only the engine's own files and its tests see inside;
// everyone else goes through kick_engine.h.

#include "engine_memory.h"
#include "kick_engine.h"
#include "kick_voice.h"
#include "reverb_network.h"
#include "shape_memo.h"
#include "transistor_shaper.h"

#include <cstdint>

struct KickEngine
{
  // Read by the caller.
  double sampleRate;
  int32_t blockSize;
  int32_t numInputs;
  int32_t numOutputs;
  const char* inputNames[2];
  const char* outputNames[2];
  int32_t numParams;
  EngineParamInfo paramInfo[kEngineNumParams];
  int32_t errorCode;
  double invSampleRate;

  double params[kEngineNumParams];

  KickGenerator bass;
  KickGenerator snap;
  VelocityLatch velocity;
  TransistorShaperState shaper;
  // Its storage follows the object in the engine's own allocation.
  ShapeMemo shapeMemo;
  ReverbState reverb;
  // Derived from the sample rate at every reset.
  ReverbGeometry reverbGeometry;

  CosineTable* cosineTable;
  EngineMemory memory;
};

// EngineCreate with a chosen source of memory.
KickEngine* EngineCreateWithMemory(double sampleRate, const EngineMemory& memory);

enum class RenderPath
{
  // Blocks that provably render silence from an all-zero state skip the
  // per-sample chain, and a resting generator skips its envelope and
  // oscillator.
  Automatic,
  // Always the per-sample chain; the reference for the shortcuts.
  FullChain,
};

int EnginePerformWithPath(KickEngine* engine, double** inputs, double** outputs, int frames,
                          RenderPath path);
