// IPlugVST3's processor side through the test effect: set-up, arrangements,
// the process call with its parameter changes, events, buses and bypass, and
// what faulty hosts send.

#include "effect_fixture.h"

#include "pluginterfaces/vst/ivstevents.h"

#include <cmath>
#include <limits>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const double kSentinel = 7.0;

// The gain parameter (0 … 2) at a normalized value.
double GainAt(double normalized)
{
  return 2.0 * normalized;
}

void FillInputs(ProcessBlock& block, int channels, int frames)
{
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < frames; ++i)
      block.SetInput(0, c, i, 0.001 * (i + 1) * (c == 0 ? 1.0 : -1.0));
}

class SampleSizeTest : public EffectTest, public ::testing::WithParamInterface<int32>
{
};

TEST_P(SampleSizeTest, RendersWithTheLastPointOfEachParameterQueue)
{
  const int32 size = GetParam();
  ASSERT_EQ(processor->canProcessSampleSize(size), kResultOk);
  Prepare(size, 64);
  ProcessBlock block(size, {2}, {2}, 64);
  FillInputs(block, 2, 64);
  block.Changes().Add(0, 0, 1.0);
  block.Changes().Add(0, 17, 0.0);
  block.Changes().Add(0, 40, 0.25);
  const int changesBefore = Probes().paramChanges;
  ASSERT_EQ(processor->process(block.Data(64)), kResultOk);
  EXPECT_EQ(Probes().paramChanges, changesBefore + 1);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(0), 0.25);
  const double tolerance = size == kSample32 ? 1e-6 : 0.0;
  for (int i = 0; i < 64; i += 9)
  {
    EXPECT_NEAR(block.Output(0, 0, i), GainAt(0.25) * 0.001 * (i + 1), tolerance) << i;
    EXPECT_NEAR(block.Output(0, 1, i), -GainAt(0.25) * 0.001 * (i + 1), tolerance) << i;
  }
}

TEST_P(SampleSizeTest, BlockSizesVaryDownToOneAndBeyondTheAnnouncedMaximum)
{
  const int32 size = GetParam();
  Prepare(size, 32);
  const double tolerance = size == kSample32 ? 1e-6 : 0.0;
  for (int frames : {32, 1, 7, 100, 2, 33})
  {
    ProcessBlock block(size, {2}, {2}, 128);
    FillInputs(block, 2, 128);
    ASSERT_EQ(processor->process(block.Data(frames, kSentinel)), kResultOk);
    for (int i = 0; i < frames; ++i)
      ASSERT_NEAR(block.Output(0, 0, i), GainAt(0.5) * 0.001 * (i + 1), tolerance)
          << frames << " " << i;
    for (int i = frames; i < 128; ++i)
      ASSERT_EQ(block.Output(0, 1, i), kSentinel) << "wrote past the block: " << frames;
  }
}

TEST_P(SampleSizeTest, ZeroSamplesWithoutBuffersStillApplyParameterChanges)
{
  Prepare(GetParam(), 64);
  ProcessBlock block(GetParam(), {}, {}, 1);
  block.Changes().Add(2, 0, 0.75);
  ProcessData& data = block.Data(0);
  EXPECT_EQ(data.inputs, nullptr);
  ASSERT_EQ(processor->process(data), kResultOk);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(2), 0.75);
}

TEST_P(SampleSizeTest, NullBuffersAndMissingBusesAreNeverFollowed)
{
  Prepare(GetParam(), 64);
  {
    // Only channel 0 of the output has a buffer.
    ProcessBlock block(GetParam(), {2}, {2}, 64);
    FillInputs(block, 2, 64);
    ProcessData& data = block.Data(64, kSentinel);
    if (GetParam() == kSample64)
      data.outputs[0].channelBuffers64[1] = nullptr;
    else
      data.outputs[0].channelBuffers32[1] = nullptr;
    ASSERT_EQ(processor->process(data), kResultOk);
    EXPECT_NEAR(block.Output(0, 0, 3), GainAt(0.5) * 0.004, 1e-6);
  }
  {
    // No channel arrays at all, input or output.
    ProcessBlock block(GetParam(), {2}, {2}, 64);
    ProcessData& data = block.Data(64);
    data.inputs[0].channelBuffers64 = nullptr;
    data.outputs[0].channelBuffers64 = nullptr;
    EXPECT_EQ(processor->process(data), kResultOk);
  }
  {
    // The host passes no output bus, or fewer channels than the bus has.
    ProcessBlock block(GetParam(), {2}, {1}, 64);
    FillInputs(block, 2, 64);
    ProcessData& data = block.Data(64, kSentinel);
    EXPECT_EQ(processor->process(data), kResultOk);
    EXPECT_NEAR(block.Output(0, 0, 0), GainAt(0.5) * 0.001, 1e-6);
    data.numOutputs = 0;
    EXPECT_EQ(processor->process(data), kResultOk);
    data.numInputs = 0;
    data.outputs = nullptr;
    data.numOutputs = 3;
    EXPECT_EQ(processor->process(data), kResultOk);
  }
  {
    // More output buses than the plug-in has: the extra one stays untouched.
    ProcessBlock block(GetParam(), {2}, {2, 2}, 64);
    FillInputs(block, 2, 64);
    ASSERT_EQ(processor->process(block.Data(64, kSentinel)), kResultOk);
    EXPECT_EQ(block.Output(1, 0, 0), kSentinel);
    EXPECT_NEAR(block.Output(0, 0, 0), GainAt(0.5) * 0.001, 1e-6);
  }
}

INSTANTIATE_TEST_SUITE_P(BothSampleSizes, SampleSizeTest,
                         ::testing::Values(int32(kSample32), int32(kSample64)));

TEST_F(EffectTest, SilenceFlagsOnInputsChangeNothing)
{
  Prepare(kSample32, 16);
  ProcessBlock block(kSample32, {2}, {2}, 16);
  FillInputs(block, 2, 16);
  ProcessData& data = block.Data(16, kSentinel);
  data.inputs[0].silenceFlags = 0x3;
  ASSERT_EQ(processor->process(data), kResultOk);
  EXPECT_NEAR(block.Output(0, 0, 15), GainAt(0.5) * 0.016, 1e-6);
  EXPECT_EQ(data.outputs[0].silenceFlags, 0u);
}

TEST_F(EffectTest, InactiveOutputBusReceivesNothing)
{
  Prepare(kSample32, 16);
  ASSERT_EQ(component->activateBus(kAudio, kOutput, 0, false), kResultOk);
  ProcessBlock block(kSample32, {2}, {2}, 16);
  FillInputs(block, 2, 16);
  ASSERT_EQ(processor->process(block.Data(16, kSentinel)), kResultOk);
  EXPECT_EQ(block.Output(0, 0, 0), kSentinel);
  ASSERT_EQ(component->activateBus(kAudio, kOutput, 0, true), kResultOk);
  ASSERT_EQ(processor->process(block.Data(16, kSentinel)), kResultOk);
  EXPECT_NEAR(block.Output(0, 0, 0), GainAt(0.5) * 0.001, 1e-6);
}

TEST_F(EffectTest, SetupProcessingRefusesBadValuesAndKeepsThePreviousSetup)
{
  ProcessSetup good{kRealtime, kSample64, 256, 96000.0};
  ASSERT_EQ(processor->setupProcessing(good), kResultOk);
  const int resets = Probes().resets;
  EXPECT_EQ(Base()->GetSampleRate(), 96000.0);
  EXPECT_EQ(Base()->GetBlockSize(), 256);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const ProcessSetup bad[] = {
      {kRealtime, kSample32, 64, 0.0},  {kRealtime, kSample32, 64, -44100.0},
      {kRealtime, kSample32, 64, nan},  {kRealtime, kSample32, 64, inf},
      {kRealtime, kSample32, 0, 44100}, {kRealtime, kSample32, -5, 44100},
      {kRealtime, 2, 64, 44100},        {kRealtime, -1, 64, 44100}};
  for (ProcessSetup setup : bad)
  {
    EXPECT_EQ(processor->setupProcessing(setup), kResultFalse)
        << setup.sampleRate << " " << setup.maxSamplesPerBlock << " " << setup.symbolicSampleSize;
  }
  EXPECT_EQ(Base()->GetSampleRate(), 96000.0);
  EXPECT_EQ(Base()->GetBlockSize(), 256);
  EXPECT_EQ(Probes().resets, resets);
  EXPECT_EQ(processor->canProcessSampleSize(kSample32), kResultOk);
  EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultOk);
  EXPECT_EQ(processor->canProcessSampleSize(2), kResultFalse);
}

TEST_F(EffectTest, OfflineModeIsReported)
{
  Prepare(kSample32, 64, 44100.0, kOffline);
  EXPECT_TRUE(Base()->IsOfflineRender());
  ProcessSetup realtime{kRealtime, kSample32, 64, 44100.0};
  ASSERT_EQ(processor->setupProcessing(realtime), kResultOk);
  EXPECT_FALSE(Base()->IsOfflineRender());
}

TEST_F(EffectTest, BypassPassesInputThroughUntilTheNextSetup)
{
  Prepare(kSample64, 16);
  ProcessBlock block(kSample64, {2}, {2}, 16);
  FillInputs(block, 2, 16);
  block.Changes().Add(kBypass, 0, 1.0);
  ASSERT_EQ(processor->process(block.Data(16)), kResultOk);
  EXPECT_EQ(controller->getParamNormalized(kBypass), 1.0);
  EXPECT_DOUBLE_EQ(block.Output(0, 0, 9), 0.010);
  EXPECT_DOUBLE_EQ(block.Output(0, 1, 9), -0.010);

  ProcessSetup setup{kRealtime, kSample64, 16, 48000.0};
  ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
  EXPECT_EQ(controller->getParamNormalized(kBypass), 0.0);
  block.Changes().Clear();
  ASSERT_EQ(processor->process(block.Data(16)), kResultOk);
  EXPECT_DOUBLE_EQ(block.Output(0, 0, 9), GainAt(0.5) * 0.010);
}

TEST_F(EffectTest, LatencyIsAnnouncedAndBypassDelaysByIt)
{
  Prepare(kSample64, 16);
  Base()->SetLatency(3);
  EXPECT_EQ(processor->getLatencySamples(), 3u);
  const auto edits = handler->Edits();
  ASSERT_FALSE(edits.empty());
  EXPECT_EQ(edits.back().kind, HostEdit::kRestart);
  EXPECT_EQ(edits.back().flags, kLatencyChanged);

  ProcessBlock block(kSample64, {2}, {2}, 16);
  FillInputs(block, 2, 16);
  block.Changes().Add(kBypass, 0, 1.0);
  ASSERT_EQ(processor->process(block.Data(16)), kResultOk);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(block.Output(0, 0, i), 0.0) << i;
  for (int i = 3; i < 16; ++i)
    EXPECT_DOUBLE_EQ(block.Output(0, 0, i), 0.001 * (i - 2)) << i;
}

TEST_F(EffectTest, NoteEventsBecomeMidiMessagesAndOtherEventsAreSkipped)
{
  Prepare(kSample32, 64);
  ProcessBlock block(kSample32, {2}, {2}, 64);
  block.Events().AddNoteOn(5, 0, 36, 1.0f);
  block.Events().AddNoteOn(6, 3, 40, 0.5f);
  block.Events().AddNoteOff(9, 0, 36);
  Event other{};
  other.type = Event::kPolyPressureEvent;
  block.Events().addEvent(other);
  // What a faulty host might send: no MIDI message can carry these.
  block.Events().AddNoteOn(1, 16, 36, 1.0f);
  block.Events().AddNoteOn(1, 0, 128, 1.0f);
  block.Events().AddNoteOff(1, -1, 36);
  block.Events().AddNoteOn(2, 1, 50, 7.0f);
  block.Events().AddNoteOn(2, 1, 51, std::nanf(""));
  ASSERT_EQ(processor->process(block.Data(64)), kResultOk);

  const TestEffectProbes& probes = Probes();
  ASSERT_EQ(probes.midiCount, 5);
  const int expected[5][4] = {{5, 0x90, 36, 127},
                              {6, 0x93, 40, static_cast<int>(0.5f * 127.0f)},
                              {9, 0x80, 36, 0},
                              {2, 0x91, 50, 127},
                              {2, 0x91, 51, 0}};
  for (int i = 0; i < 5; ++i)
  {
    EXPECT_EQ(probes.midi[i].mOffset, expected[i][0]) << i;
    EXPECT_EQ(probes.midi[i].mStatus, expected[i][1]) << i;
    EXPECT_EQ(probes.midi[i].mData1, expected[i][2]) << i;
    EXPECT_EQ(probes.midi[i].mData2, expected[i][3]) << i;
  }
}

TEST_F(EffectTest, HostVelocitiesOfMidiValuesArriveAsThoseValues)
{
  // Hosts send a MIDI velocity v as the float v / 127; it must come back as
  // v, not as v - 1 where the float lies just below the exact fraction.
  for (int first = 0; first < 128; first += 64)
  {
    IPtr<IComponent> instance = Create(false);
    ASSERT_TRUE(instance);
    ASSERT_EQ(instance->initialize(host->unknownCast()), kResultOk);
    auto instanceProcessor = Query<IAudioProcessor>(instance);
    ProcessSetup setup{kRealtime, kSample32, 16, 48000.0};
    ASSERT_EQ(instanceProcessor->setupProcessing(setup), kResultOk);
    ProcessBlock block(kSample32, {2}, {2}, 16);
    for (int velocity = first; velocity < first + 64; ++velocity)
      block.Events().AddNoteOn(0, 0, 60, static_cast<float>(velocity) / 127.0f);
    ASSERT_EQ(instanceProcessor->process(block.Data(16)), kResultOk);
    const TestEffectProbes& probes = Probes();
    ASSERT_EQ(probes.midiCount, 64);
    for (int i = 0; i < 64; ++i)
      EXPECT_EQ(probes.midi[i].mData2, first + i);
    instance->terminate();
  }
}

TEST_F(EffectTest, PresetParameterPicksTheNearestPresetAndLeavesTheCurrentOneAlone)
{
  Prepare(kSample32, 16);
  ProcessBlock block(kSample32, {2}, {2}, 16);
  ASSERT_EQ(controller->setParamNormalized(0, 0.9), kResultOk);
  const double tweaked = Base()->GetParam(0)->Value();
  // (normalized value sent, current preset after it, parameter 0 after it)
  const struct
  {
    double value;
    int preset;
    double param;
  } steps[] = {{0.0, 0, tweaked}, {-0.5, 0, tweaked}, {std::nan(""), 0, tweaked},
               {1.0, 1, tweaked}, {0.4, 0, 1.0},      {3.0, 1, tweaked}};
  for (const auto& step : steps)
  {
    block.Changes().Clear();
    block.Changes().Add(kPreset, 0, step.value);
    ASSERT_EQ(processor->process(block.Data(16)), kResultOk);
    EXPECT_EQ(Base()->GetCurrentPresetIdx(), step.preset) << step.value;
    EXPECT_DOUBLE_EQ(Base()->GetParam(0)->Value(), step.param) << step.value;
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(kPreset), step.preset) << step.value;
  }
}

TEST_F(EffectTest, ParameterIdsThatNameNothingAreIgnored)
{
  Prepare(kSample32, 16);
  ProcessBlock block(kSample32, {2}, {2}, 16);
  const int changes = Probes().paramChanges;
  for (ParamID id : {ParamID(3), ParamID(999), ParamID(0x80000000), ParamID(0xFFFFFFFF)})
    block.Changes().Add(id, 0, 0.5);
  ASSERT_EQ(processor->process(block.Data(16)), kResultOk);
  EXPECT_EQ(Probes().paramChanges, changes);
}

TEST_F(EffectTest, MonoArrangementIsAcceptedAndIllegalOnesRefused)
{
  SpeakerArrangement mono = SpeakerArr::kMono;
  SpeakerArrangement stereo = SpeakerArr::kStereo;
  EXPECT_EQ(processor->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
  SpeakerArrangement arrangement = 0;
  ASSERT_EQ(processor->getBusArrangement(kOutput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kStereo) << "a refused offer changes nothing";
  EXPECT_EQ(processor->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse);

  ASSERT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  BusInfo info{};
  ASSERT_EQ(component->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_EQ(Narrow(info.name), "Output");
  ASSERT_EQ(component->getBusInfo(kAudio, kInput, 0, info), kResultOk);
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_EQ(Narrow(info.name), "Main Input");

  Prepare(kSample32, 16);
  ProcessBlock block(kSample32, {1}, {1}, 16);
  FillInputs(block, 1, 16);
  ASSERT_EQ(processor->process(block.Data(16)), kResultOk);
  EXPECT_NEAR(block.Output(0, 0, 4), GainAt(0.5) * 0.005, 1e-6);

  ASSERT_EQ(processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  ASSERT_EQ(processor->getBusArrangement(kInput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kStereo);
}

TEST_F(EffectTest, ActivationInEveryLegalOrder)
{
  ProcessSetup setup{kRealtime, kSample32, 32, 44100.0};
  ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
  ActivateBuses();
  ProcessBlock block(kSample32, {2}, {2}, 32);
  FillInputs(block, 2, 32);
  for (int round = 0; round < 3; ++round)
  {
    EXPECT_EQ(component->setActive(true), kResultOk);
    EXPECT_TRUE(Probes().active);
    processor->setProcessing(true);
    ASSERT_EQ(processor->process(block.Data(32)), kResultOk);
    EXPECT_NEAR(block.Output(0, 0, 31), GainAt(0.5) * 0.032, 1e-6) << round;
    processor->setProcessing(false);
    EXPECT_EQ(component->setActive(false), kResultOk);
    EXPECT_FALSE(Probes().active);
    // Set-up again between activations, as hosts do on a rate change.
    setup.sampleRate = 48000.0 + round;
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
  }
  EXPECT_EQ(Probes().activations, 6);
}

TEST_F(EffectTest, TimeQueriesAnswerFromTheLastContext)
{
  Prepare(kSample32, 16);
  ProcessBlock block(kSample32, {2}, {2}, 16);
  ProcessContext& context = block.Context();
  context.tempo = 137.5;
  context.projectTimeSamples = 96000;
  context.projectTimeMusic = 12.5;
  context.barPositionMusic = 12.0;
  context.cycleStartMusic = 8.0;
  context.cycleEndMusic = 16.0;
  context.timeSigNumerator = 7;
  context.timeSigDenominator = 8;
  context.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
  ASSERT_EQ(processor->process(block.Data(16)), kResultOk);

  // A block without a context keeps the last one.
  block.sendContext = false;
  ASSERT_EQ(processor->process(block.Data(16)), kResultOk);

  IPlugBase* base = Base();
  EXPECT_EQ(base->GetTempo(), 137.5);
  EXPECT_EQ(base->GetSamplePosition(), 96000);
  int numerator = 0, denominator = 0;
  base->GetTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 7);
  EXPECT_EQ(denominator, 8);
  ITransportInfo info;
  base->QueryTransport(info);
  EXPECT_EQ(info.mTempo, 137.5);
  EXPECT_EQ(info.mSamplePos, 96000.0);
  EXPECT_EQ(info.mPPQPos, 12.5);
  EXPECT_EQ(info.mLastBar, 12.0);
  EXPECT_EQ(info.mCycleStart, 8.0);
  EXPECT_EQ(info.mCycleEnd, 16.0);
  EXPECT_EQ(info.mNumerator, 7);
  EXPECT_EQ(info.mDenominator, 8);
  EXPECT_TRUE(info.mTransportRunning);
  EXPECT_TRUE(info.mLoopEnabled);

  context.state = 0;
  block.sendContext = true;
  ASSERT_EQ(processor->process(block.Data(16)), kResultOk);
  base->QueryTransport(info);
  EXPECT_FALSE(info.mTransportRunning);
  EXPECT_FALSE(info.mLoopEnabled);
}

TEST_F(EffectTest, ProcessorAndControllerOnDifferentThreads)
{
  Prepare(kSample32, 64);
  bool allOk = true;
  std::thread audio(
      [&]
      {
        ProcessBlock block(kSample32, {2}, {2}, 64);
        for (int round = 0; round < 300; ++round)
        {
          block.Changes().Clear();
          block.Changes().Add(2, 0, (round % 10) / 10.0);
          allOk = processor->process(block.Data(64)) == kResultOk && allOk;
        }
      });
  String128 text{};
  for (int round = 0; round < 300; ++round)
  {
    const double value = (round % 8) / 8.0;
    EXPECT_EQ(controller->setParamNormalized(0, value), kResultOk);
    EXPECT_EQ(controller->getParamStringByValue(1, value, text), kResultOk);
    const double drive = controller->getParamNormalized(2);
    EXPECT_TRUE(drive >= 0.0 && drive <= 1.0);
  }
  audio.join();
  EXPECT_TRUE(allOk);
}

} // namespace
