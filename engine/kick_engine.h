#pragma once

// The kick-drum engine: plain state behind free functions. It takes no lock;
// the caller serializes every call (the instrument holds its instance lock).
// Only EngineCreate allocates; nothing else allocates or blocks.

#include <cstdint>

struct KickEngine;

// One record per parameter, fields in the order hosts of this engine expect.
struct EngineParamInfo
{
  double defaultValue;
  const double* defaultRef;
  unsigned char hasInputRange;
  unsigned char hasOutputRange;
  double inputMin;
  double inputMax;
  double outputMin;
  double outputMax;
  const char* name;
  const char* units;
  int32_t type;
  double exponent;
};

// Parameter indices; the host parameter with index i is engine parameter i.
// Names follow the byte-wise order that fixes the indices.
namespace EngineParam
{
enum Index : int
{
  BassAmpLevel = 0,
  BassEnvAttack = 1,
  BassEnvDecay = 2,
  BassPitchAmt = 3,
  HostBarStartPulse = 4,
  HostTempoBpm = 5,
  HostTransportIsRunning = 6,
  MainVolume = 7,
  MidiChannelInput = 8,
  PresetBackward = 9,
  PresetForward = 10,
  PresetLoad = 11,
  PresetSave = 12,
  PresetSelector = 13,
  ReverbOffOn = 14,
  SnapAmpLevel = 15,
  SnapEnvDecay = 16,
  SnapPitchAmt = 17,
  TransistorDistLoad = 18,
  VelAmpOffOn = 19,
  Voice00_NoteGate = 20,
  Voice00_NoteNumber = 21,
  Voice00_NoteRetrig = 22,
  Voice00_NoteVelocity = 23,
  VoiceModeMonoPoly = 24,
  VoiceRetrigOffOn = 25,
  zInitParams = 26,
};
} // namespace EngineParam

constexpr int kEngineNumParams = 27;
constexpr int32_t EngineErrorNullBuffer = 101;

// Any thread, allocates. Returns null when the sample rate is unusable (not a
// finite number of at least 1 Hz) or when memory cannot be obtained (the
// failing allocation is reported on stderr).
KickEngine* EngineCreate(double sampleRate);

// Clears every voice, distortion and reverb state, restores every parameter to
// its reset value and clears the error code. Never allocates: the delay lines
// keep the sizes of the creation sample rate. An unusable sample rate keeps the
// previous one (the state is still cleared).
void EngineReset(KickEngine* engine, double sampleRate, int blockSize);

// Audio thread, never blocks, never allocates. Renders `frames` samples into
// outputs[0] and outputs[1]; the inputs are only tested for null. Returns 0, or
// EngineErrorNullBuffer (sticky until the next reset) without writing anything.
int EnginePerform(KickEngine* engine, double** inputs, double** outputs, int frames);

// Limits the value to the parameter's range (NaN counts as the minimum);
// indices outside 0 … 26 change nothing.
void EngineSetParam(KickEngine* engine, int index, double value);

void EngineDestroy(KickEngine* engine);

// Read-only views of the engine for its owner. Out-of-range indices give null
// (records, names) or 0 (values).
int EngineNumParams(const KickEngine* engine);
const EngineParamInfo* EngineGetParamInfo(const KickEngine* engine, int index);
double EngineGetParam(const KickEngine* engine, int index);
double EngineGetSampleRate(const KickEngine* engine);
int EngineGetBlockSize(const KickEngine* engine);
int EngineGetErrorCode(const KickEngine* engine);
// Frames the engine has to render before its envelopes have seen the current
// gate: 0 when they already have; otherwise the rest of the retrigger hold
// plus the sample that sees the gate. A gate closed before then is never
// heard.
int EngineFramesUntilGateEdge(const KickEngine* engine);
// The length of the retrigger hold at the engine's sample rate, in frames.
int EngineRetriggerHoldFrames(const KickEngine* engine);
int EngineNumInputs(const KickEngine* engine);
int EngineNumOutputs(const KickEngine* engine);
const char* EngineGetInputName(const KickEngine* engine, int channel);
const char* EngineGetOutputName(const KickEngine* engine, int channel);
