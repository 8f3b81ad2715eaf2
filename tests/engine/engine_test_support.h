#pragma once

// Helpers shared by the engine suites: an owning engine handle and block
// rendering through the public entry point.

#include "engine_state.h"
#include "kick_engine.h"

#include <memory>
#include <vector>

struct EngineDeleter
{
  void operator()(KickEngine* engine) const { EngineDestroy(engine); }
};
using EnginePtr = std::unique_ptr<KickEngine, EngineDeleter>;

inline EnginePtr MakeEngine(double sampleRate = 44100.0)
{
  return EnginePtr(EngineCreate(sampleRate));
}

struct StereoBuffer
{
  std::vector<double> left;
  std::vector<double> right;
};

// Renders `frames` samples in blocks of `blockSize` and appends them to `out`.
inline int RenderInto(KickEngine* engine, StereoBuffer& out, int frames, int blockSize = 64,
                      RenderPath path = RenderPath::Automatic)
{
  std::vector<double> in(static_cast<size_t>(blockSize), 0.0);
  std::vector<double> left(static_cast<size_t>(blockSize));
  std::vector<double> right(static_cast<size_t>(blockSize));
  double* inputs[2] = {in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  // An empty request still makes one call: blocks of 0 frames count too.
  int done = 0;
  do
  {
    const int n = frames - done < blockSize ? frames - done : blockSize;
    const int result = EnginePerformWithPath(engine, inputs, outputs, n, path);
    if (result != 0) return result;
    out.left.insert(out.left.end(), left.begin(), left.begin() + n);
    out.right.insert(out.right.end(), right.begin(), right.begin() + n);
    done += n;
  } while (done < frames);
  return 0;
}

inline StereoBuffer Render(KickEngine* engine, int frames, int blockSize = 64)
{
  StereoBuffer out;
  RenderInto(engine, out, frames, blockSize);
  return out;
}

// Gate up with a fresh retrigger token, the way the instrument starts a note.
inline void StartNote(KickEngine* engine, double velocity = 127.0)
{
  EngineSetParam(engine, EngineParam::Voice00_NoteVelocity, velocity);
  EngineSetParam(engine, EngineParam::Voice00_NoteGate, 1.0);
}

inline double PeakOf(const std::vector<double>& samples, size_t from = 0, size_t to = ~size_t{0})
{
  double peak = 0.0;
  for (size_t i = from; i < samples.size() && i < to; ++i)
    peak = samples[i] > peak ? samples[i] : (-samples[i] > peak ? -samples[i] : peak);
  return peak;
}
