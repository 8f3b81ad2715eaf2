// Cost of the kick engine per stereo sample at 44100 Hz, and how many times
// faster than real time that is on one core.

#include "kick_engine.h"
#include "reference_loop.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr int kBlock = 512;
// A retrigger every 20 blocks (about 0.23 s) keeps the bass envelope in
// attack or decay, where every sample evaluates its curve.
constexpr int kBlocksPerKick = 20;

enum Sound
{
  kPlain,
  kDistortion,
  kReverb,
  kDistortionAndReverb,
  // Distortion and reverb with a long snap: both envelopes always run.
  kWorstCase,
  kSilent,
};

void RenderBlocks(benchmark::State& state, Sound sound)
{
  KickEngine* engine = EngineCreate(kSampleRate);
  // Everything else keeps its reset value.
  const bool distortion =
      sound == kDistortion || sound == kDistortionAndReverb || sound == kWorstCase;
  const bool reverb = sound == kReverb || sound == kDistortionAndReverb || sound == kWorstCase;
  EngineSetParam(engine, EngineParam::TransistorDistLoad, distortion ? 0.6 : 0.0);
  EngineSetParam(engine, EngineParam::ReverbOffOn, reverb ? 1.0 : 0.0);
  EngineSetParam(engine, EngineParam::SnapEnvDecay, sound == kWorstCase ? 1.0 : 0.0);
  EngineSetParam(engine, EngineParam::Voice00_NoteVelocity, 100.0);
  EngineSetParam(engine, EngineParam::Voice00_NoteGate, sound == kSilent ? 0.0 : 1.0);

  std::vector<double> in(kBlock, 0.0);
  std::vector<double> left(kBlock);
  std::vector<double> right(kBlock);
  double* inputs[2] = {in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  int block = 0;
  double token = 0.0;
  const double start = bench::ThreadNanoseconds();
  for (auto _ : state)
  {
    if (sound != kSilent && ++block % kBlocksPerKick == 0)
    {
      token = token >= 0.99 ? 0.0 : token + 0.01;
      EngineSetParam(engine, EngineParam::Voice00_NoteRetrig, token);
    }
    EnginePerform(engine, inputs, outputs, kBlock);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
    benchmark::ClobberMemory();
  }
  const double elapsed = bench::ThreadNanoseconds() - start;
  const double samples = static_cast<double>(state.iterations()) * kBlock;
  bench::ReportPerItem(state, elapsed, samples, "sample");
  // Seconds of audio rendered per second of processor time.
  state.counters["realtime_x"] =
      benchmark::Counter(samples / kSampleRate, benchmark::Counter::kIsRate);
  EngineDestroy(engine);
}
// The library calls a sounding kick's formulas name per sample, and nothing
// else: one envelope power and the shaper's two tanh. A yardstick for the
// engine's figures; the engine reads the shaper's values back from its memo
// once a kick has visited them.
void LibraryCallsPerSample(benchmark::State& state)
{
  double phase = 0.0;
  double sum = 0.0;
  const double start = bench::ThreadNanoseconds();
  for (auto _ : state)
  {
    phase = phase >= 0.999 ? 0.0 : phase + 0.00002;
    sum += std::pow(1.0 - phase, 2.001) + std::tanh(phase * 5.4) + std::tanh(phase * 4.9);
    benchmark::DoNotOptimize(sum);
  }
  bench::ReportPerItem(state, bench::ThreadNanoseconds() - start,
                       static_cast<double>(state.iterations()), "sample");
}
} // namespace

BENCHMARK(LibraryCallsPerSample);
BENCHMARK_CAPTURE(RenderBlocks, KickPlain, kPlain);
BENCHMARK_CAPTURE(RenderBlocks, KickDistortion, kDistortion);
BENCHMARK_CAPTURE(RenderBlocks, KickReverb, kReverb);
BENCHMARK_CAPTURE(RenderBlocks, KickDistortionAndReverb, kDistortionAndReverb);
BENCHMARK_CAPTURE(RenderBlocks, KickWorstCase, kWorstCase);
BENCHMARK_CAPTURE(RenderBlocks, SilentEngine, kSilent);

BENCHMARK_MAIN();
