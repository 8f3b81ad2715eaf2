// What the plug-in layers cost on top of the engine: the same sound (a kick
// with distortion and reverb, a note on every beat at 120 BPM, BassPitchAmt
// automated at every block) in 64-sample double-precision blocks, rendered
// by the bare engine, through VST2 processDoubleReplacing and through the
// VST3 process call. Compare the "sample" figures of the three. Also what
// a host waits for and keeps resident before any sound: loading the module
// with its first instance, a further instance, and opening the editor.

#include "kick_engine.h"
#include "plugin_module.h"
#include "process_block.h"
#include "reference_loop.h"
#include "vst2_host.h"
#include "vst3_util.h"

#include "host_application.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

// Last: Xlib's macros (Bool, None, Status) would rename the code above.
#include "x11_host_window.h"

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr int kBlock = 64;
// Half a second at 120 BPM, rounded to whole blocks.
constexpr long kBlocksPerBeat = 344;
constexpr int kNote = 36;
constexpr int kVelocity = 100;

// The sequence, block by block; every layer plays the same.
struct Step
{
  bool noteOn;
  bool noteOff;
  double automation; // BassPitchAmt, 0 … 1
};

Step StepAt(long block)
{
  const long inBeat = block % kBlocksPerBeat;
  return {inBeat == 0, inBeat == kBlocksPerBeat / 2, (block % 100) * 0.01};
}

// Plays the first beat untimed and reports its loudest sample (`leftOf`
// gives the left channel of the last block), so the three layers can be
// seen to play the same sound; then times `render`, one block of the
// sequence each.
template <typename RenderFn, typename LeftFn>
void TimeBlocks(benchmark::State& state, RenderFn render, LeftFn leftOf)
{
  long block = 0;
  double peak = 0.0;
  for (; block < kBlocksPerBeat; ++block)
  {
    render(StepAt(block));
    const std::vector<double> left = leftOf();
    for (double sample : left)
      peak = std::max(peak, std::fabs(sample));
  }
  state.counters["peak"] = peak;
  const double start = bench::ThreadNanoseconds();
  for (auto _ : state)
    render(StepAt(block++));
  bench::ReportPerItem(state, bench::ThreadNanoseconds() - start,
                       static_cast<double>(state.iterations()) * kBlock, "sample");
}

void BareEngine(benchmark::State& state)
{
  KickEngine* engine = EngineCreate(kSampleRate);
  EngineSetParam(engine, EngineParam::TransistorDistLoad, 0.6);
  EngineSetParam(engine, EngineParam::ReverbOffOn, 1.0);
  std::vector<double> in(kBlock, 0.0), left(kBlock), right(kBlock);
  double* inputs[2] = {in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  // The instrument's retrigger token: 0.01 steps, back to 0 after 0.99.
  float token = 0.0f;
  TimeBlocks(
      state,
      [&](const Step& step)
      {
        if (step.noteOn)
        {
          EngineSetParam(engine, EngineParam::Voice00_NoteGate, 1.0);
          EngineSetParam(engine, EngineParam::Voice00_NoteVelocity, kVelocity);
          token = token + 0.01f > 0.99f ? 0.0f : token + 0.01f;
          EngineSetParam(engine, EngineParam::Voice00_NoteRetrig, token);
        }
        if (step.noteOff) EngineSetParam(engine, EngineParam::Voice00_NoteGate, 0.0);
        EngineSetParam(engine, EngineParam::BassPitchAmt, step.automation);
        EnginePerform(engine, inputs, outputs, kBlock);
        benchmark::DoNotOptimize(left.data());
      },
      [&] { return left; });
  EngineDestroy(engine);
}

void Vst2DoubleReplacing(benchmark::State& state)
{
  Vst2Host host(THUDWERK_VST2_PLUGIN_PATH);
  AEffect* effect = host.InstantiateAndStart(kSampleRate, kBlock);
  if (effect == nullptr)
  {
    state.SkipWithError("the VST2 plug-in did not load");
    return;
  }
  effect->setParameter(effect, EngineParam::TransistorDistLoad, 0.6f);
  effect->setParameter(effect, EngineParam::ReverbOffOn, 1.0f);
  Vst2EventList noteOn, noteOff;
  noteOn.AddMidi(0, 0x90, kNote, kVelocity);
  noteOff.AddMidi(0, 0x80, kNote, 0);
  AudioBuffers<double> buffers(2, 2, kBlock);
  TimeBlocks(
      state,
      [&](const Step& step)
      {
        if (step.noteOn) host.SendEvents(effect, noteOn);
        if (step.noteOff) host.SendEvents(effect, noteOff);
        effect->setParameter(effect, EngineParam::BassPitchAmt,
                             static_cast<float>(step.automation));
        host.ProcessDoubleReplacing(effect, buffers, kBlock);
        benchmark::DoNotOptimize(buffers.out[0].data());
      },
      [&] { return buffers.out[0]; });
}

void Vst3Process(benchmark::State& state)
{
  using namespace Steinberg;
  using namespace Steinberg::Vst;
  std::string error;
  std::unique_ptr<PluginModule> module =
      PluginModule::Load(ModuleBinaryPath(THUDWERK_VST3_BUNDLE, "Thudwerk"), &error);
  // "Vrna" and "Vrc5" as big-endian words.
  const FUID classId(0xF2AEE70D, 0x00DE4F4E, 0x56726E61, 0x56726335);
  IComponent* created = nullptr;
  if (module == nullptr ||
      module->Factory()->createInstance(classId.toTUID(), IComponent::iid,
                                        reinterpret_cast<void**>(&created)) != kResultOk)
  {
    state.SkipWithError("the VST3 plug-in did not load");
    return;
  }
  IPtr<IComponent> component = owned(created);
  IPtr<HostApplication> hostApplication = owned(new HostApplication("Bench Host"));
  component->initialize(hostApplication->unknownCast());
  IPtr<IAudioProcessor> processor = Query<IAudioProcessor>(component);
  ProcessSetup setup{kRealtime, kSample64, kBlock, kSampleRate};
  processor->setupProcessing(setup);
  for (MediaType type : {MediaType(kAudio), MediaType(kEvent)})
    for (BusDirection direction : {BusDirection(kInput), BusDirection(kOutput)})
      for (int32 i = 0; i < component->getBusCount(type, direction); ++i)
        component->activateBus(type, direction, i, true);
  component->setActive(true);
  processor->setProcessing(true);

  ProcessBlock block(kSample64, {2}, {2}, kBlock);
  block.Context().tempo = 120.0;
  bool first = true;
  TimeBlocks(
      state,
      [&](const Step& step)
      {
        block.Changes().Clear();
        block.Events().Clear();
        if (first)
        {
          block.Changes().Add(EngineParam::TransistorDistLoad, 0, 0.6);
          block.Changes().Add(EngineParam::ReverbOffOn, 0, 1.0);
          first = false;
        }
        if (step.noteOn) block.Events().AddNoteOn(0, 0, kNote, kVelocity / 127.0f);
        if (step.noteOff) block.Events().AddNoteOff(0, 0, kNote);
        block.Changes().Add(EngineParam::BassPitchAmt, 0, step.automation);
        processor->process(block.Data(kBlock));
      },
      [&] { return block.OutputChannel(0, 0, kBlock); });
  processor->setProcessing(false);
  component->setActive(false);
  component->terminate();
}
// Resident memory of the process, in MiB (Linux).
double ResidentMegabytes()
{
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r"))
  {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// Resident memory with 1, 2 or 8 instances of the VST2 plug-in open in one
// process, each with its editor asked for and a block rendered:
// "resident_MiB" in all, "first_MiB" added by the first instance (with what
// instances share: the decoded images are per process) and "further_MiB"
// added by each further one (its engine, delay lines included). Memory
// freed by one count is reused by the next, so take each count from a
// process of its own (--benchmark_filter=ResidentMemory/8).
void ResidentMemory(benchmark::State& state)
{
  const int instances = static_cast<int>(state.range(0));
  Vst2Host host(THUDWERK_VST2_PLUGIN_PATH);
  AudioBuffers<double> buffers(2, 2, kBlock);
  double library = 0.0, first = 0.0, all = 0.0;
  for (auto _ : state)
  {
    library = ResidentMegabytes();
    std::vector<AEffect*> open;
    for (int i = 0; i < instances; ++i)
    {
      AEffect* effect = host.InstantiateAndStart(kSampleRate, kBlock);
      if (effect == nullptr)
      {
        state.SkipWithError("the VST2 plug-in did not load");
        break;
      }
      ERect* rect = nullptr;
      host.Dispatch(effect, effEditGetRect, 0, 0, &rect);
      host.ProcessDoubleReplacing(effect, buffers, kBlock);
      open.push_back(effect);
      if (i == 0) first = ResidentMegabytes();
    }
    all = ResidentMegabytes();
    for (AEffect* effect : open)
      host.Close(effect);
  }
  state.counters["resident_MiB"] = all;
  state.counters["first_MiB"] = first - library;
  if (instances > 1) state.counters["further_MiB"] = (all - first) / (instances - 1);
}

// What a host waits for (wall-clock milliseconds), the processor time the
// process spends on it, all threads (nanoseconds), and what it keeps
// resident (MiB), at one step of bringing up the VST2 plug-in.
struct StartupStep
{
  double ms = 0.0;
  double cpuNs = 0.0;
  double mib = 0.0;
};

double ProcessNanoseconds()
{
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e9 + now.tv_nsec;
}

template <typename StepFn>
StartupStep Measure(StepFn step)
{
  const double mib = ResidentMegabytes();
  const double cpuNs = ProcessNanoseconds();
  const auto start = std::chrono::steady_clock::now();
  step();
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  return {elapsed.count(), ProcessNanoseconds() - cpuNs, ResidentMegabytes() - mib};
}

enum StartupStepIndex
{
  kLoadWithFirstInstance,
  kFurtherInstance,
  kFirstEditorOpen,
  kEditorReopen,
  kStartupSteps
};

constexpr const char* kStartupStepNames[kStartupSteps] = {"load", "further", "open", "reopen"};

// Opens the editor in a host window and paints it once (the first idle call
// after opening draws every control), until the picture is on the X server.
StartupStep OpenAndPaint(Vst2Host& host, AEffect* effect, X11HostWindow& window)
{
  return Measure(
      [&]
      {
        host.Dispatch(effect, effEditOpen, 0, 0, window.Handle());
        host.Dispatch(effect, effEditIdle);
        window.Sync();
      });
}

// Runs in a process of its own, so the module is loaded afresh: module load
// with the first instance started as a host starts it, a second instance,
// and, when there is a display, the first open of the double-scale editor
// and a reopen.
void MeasureStartup(StartupStep (&steps)[kStartupSteps])
{
  std::unique_ptr<Vst2Host> host;
  AEffect* first = nullptr;
  AEffect* further = nullptr;
  steps[kLoadWithFirstInstance] = Measure(
      [&]
      {
        host = std::make_unique<Vst2Host>(THUDWERK_VST2_PLUGIN_PATH);
        first = host->InstantiateAndStart(kSampleRate, kBlock);
      });
  steps[kFurtherInstance] =
      Measure([&] { further = host->InstantiateAndStart(kSampleRate, kBlock); });
  if (first == nullptr || further == nullptr)
  {
    steps[kLoadWithFirstInstance].ms = -1.0;
    return;
  }
  if (std::getenv("DISPLAY") == nullptr) return;
  X11HostWindow window(1100, 1000);
  if (!window.Valid()) return;
  steps[kFirstEditorOpen] = OpenAndPaint(*host, first, window);
  host->Dispatch(first, effEditClose);
  window.Sync();
  steps[kEditorReopen] = OpenAndPaint(*host, first, window);
  host->Dispatch(first, effEditClose);
}

// One child process per iteration; each figure is the median of the
// iterations: "_ms" wall-clock milliseconds, "_pow" the processor time of
// the process in pow calls of this run (what compares on a busy machine),
// "_MiB" resident memory added. Without a display (run it under
// scripts/with-xvfb.sh) the editor figures stay 0.
void Startup(benchmark::State& state)
{
  std::vector<StartupStep> runs[kStartupSteps];
  for (auto _ : state)
  {
    int channel[2];
    if (pipe(channel) != 0)
    {
      state.SkipWithError("no pipe");
      return;
    }
    const pid_t child = fork();
    if (child == 0)
    {
      close(channel[0]);
      StartupStep steps[kStartupSteps];
      MeasureStartup(steps);
      const bool written = write(channel[1], steps, sizeof(steps)) == ssize_t(sizeof(steps));
      _exit(written ? 0 : 1);
    }
    close(channel[1]);
    StartupStep steps[kStartupSteps];
    const bool read =
        child > 0 && ::read(channel[0], steps, sizeof(steps)) == ssize_t(sizeof(steps));
    close(channel[0]);
    int status = 0;
    if (child > 0) waitpid(child, &status, 0);
    if (!read || steps[kLoadWithFirstInstance].ms < 0.0)
    {
      state.SkipWithError("the VST2 plug-in did not load");
      return;
    }
    for (int i = 0; i < kStartupSteps; ++i)
      runs[i].push_back(steps[i]);
  }
  const double powNs = bench::PowCallNanoseconds();
  for (int i = 0; i < kStartupSteps; ++i)
  {
    auto median = [&](double StartupStep::*field)
    {
      std::vector<double> values;
      for (const StartupStep& step : runs[i])
        values.push_back(step.*field);
      std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
      return values[values.size() / 2];
    };
    const std::string name = kStartupStepNames[i];
    state.counters[name + "_ms"] = median(&StartupStep::ms);
    state.counters[name + "_pow"] = median(&StartupStep::cpuNs) / powNs;
    state.counters[name + "_MiB"] = median(&StartupStep::mib);
  }
}

// Creating, starting and closing one VST2 instance, which reads the preset
// catalogue's files (46 factory, 100 user slots) into memory: run it with
// THUDWERK_DOCUMENTS_DIR at a preset folder, and at an empty one, to see
// what the reading adds.
void Vst2CreateAndClose(benchmark::State& state)
{
  Vst2Host host(THUDWERK_VST2_PLUGIN_PATH);
  for (auto _ : state)
  {
    AEffect* effect = host.InstantiateAndStart(kSampleRate, kBlock);
    if (effect == nullptr)
    {
      state.SkipWithError("the VST2 plug-in did not load");
      break;
    }
    host.Close(effect);
  }
}
} // namespace

// First: its children must start from a process that never loaded the
// plug-in.
BENCHMARK(Startup)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(Vst2CreateAndClose)->Unit(benchmark::kMillisecond);
BENCHMARK(ResidentMemory)->Arg(1)->Arg(2)->Arg(8)->Iterations(1);
BENCHMARK(BareEngine);
BENCHMARK(Vst2DoubleReplacing);
BENCHMARK(Vst3Process);
BENCHMARK_MAIN();
