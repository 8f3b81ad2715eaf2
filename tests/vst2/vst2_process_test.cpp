#include "vst2_plugin_fixture.h"

#include <cmath>
#include <limits>

namespace
{
int FirstNonZero(const std::vector<double>& samples)
{
  for (size_t i = 0; i < samples.size(); ++i)
    if (samples[i] != 0.0) return int(i);
  return -1;
}
} // namespace

TEST_F(Vst2PluginTest, ChannelOneNoteStartsTheKickAfterOneMillisecond)
{
  NoteOn(36, 100);
  const AudioBuffers<double> plug = RenderDouble(kDefaultBlock);

  ReferenceEngine reference;
  reference.NoteOn(36, 100, TokenAfterSteps(1));
  const auto expected = reference.Render(kDefaultBlock);

  // The engine holds the gate low for trunc (44100 * 0.001) = 44 samples.
  const int onset = FirstNonZero(plug.out[0]);
  EXPECT_GE(onset, 44);
  EXPECT_LE(onset, 48);
  for (int channel = 0; channel < 2; ++channel)
    for (int i = 0; i < kDefaultBlock; ++i)
      ASSERT_EQ(plug.out[size_t(channel)][size_t(i)], expected[size_t(channel)][size_t(i)])
          << "channel " << channel << " sample " << i;
}

TEST_F(Vst2PluginTest, SinglePrecisionPathsCarryTheSameSound)
{
  ReferenceEngine reference;
  reference.NoteOn(36, 100, TokenAfterSteps(1));
  const auto expected = reference.Render(512);

  NoteOn(36, 100);
  AudioBuffers<float> replaced(2, 2, 512, 3.0f);
  host.ProcessReplacing(effect, replaced, 512);

  Vst2TestHost other(THUDWERK_VST2_PLUGIN_PATH);
  AEffect* second = other.InstantiateAndStart();
  ASSERT_NE(second, nullptr);
  Vst2EventList note;
  note.AddMidi(0, kNoteOnChannel1, 36, 100);
  other.SendEvents(second, note);
  AudioBuffers<float> accumulated(2, 2, 512, 0.5f);
  other.ProcessAccumulating(second, accumulated, 512);

  for (size_t channel = 0; channel < 2; ++channel)
    for (size_t i = 0; i < 512; ++i)
    {
      const float sample = static_cast<float>(expected[channel][i]);
      ASSERT_EQ(replaced.out[channel][i], sample) << "sample " << i;
      ASSERT_EQ(accumulated.out[channel][i], 0.5f + sample) << "sample " << i;
    }
}

TEST_F(Vst2PluginTest, MoreFramesThanTheBlockSizeArriveInPieces)
{
  host.Dispatch(effect, effSetBlockSize, 0, 64);
  NoteOn(36, 127);
  AudioBuffers<float> single(2, 2, 1000);
  host.ProcessReplacing(effect, single, 1000);

  ReferenceEngine reference;
  reference.NoteOn(36, 127, TokenAfterSteps(1));
  for (int offset = 0; offset < 1000; offset += 64)
  {
    const int frames = std::min(64, 1000 - offset);
    const auto piece = reference.Render(frames);
    for (int i = 0; i < frames; ++i)
      ASSERT_EQ(single.out[0][size_t(offset + i)], static_cast<float>(piece[0][size_t(i)]))
          << "sample " << offset + i;
  }
}

TEST_F(Vst2PluginTest, ZeroAndNegativeFrameCountsWriteNothing)
{
  NoteOn(36, 100);
  AudioBuffers<float> buffers(2, 2, 16, 2.0f);
  host.ProcessReplacing(effect, buffers, 0);
  host.ProcessReplacing(effect, buffers, -5);
  for (const auto& channel : buffers.out)
    for (float sample : channel)
      EXPECT_EQ(sample, 2.0f);
}

TEST_F(Vst2PluginTest, NewSampleRateResetsTheEngineAtThatRate)
{
  host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  NoteOn(40, 90);
  const AudioBuffers<double> plug = RenderDouble(600);

  ReferenceEngine reference(48000.0);
  reference.NoteOn(40, 90, TokenAfterSteps(1));
  const auto expected = reference.Render(600);
  EXPECT_EQ(plug.out[0], expected[0]);
  // trunc (48000 * 0.001) = 48 samples of held gate at this rate.
  EXPECT_GE(FirstNonZero(plug.out[0]), 48);
}

TEST_F(Vst2PluginTest, ResetHandsTheEngineEveryParameterAgain)
{
  Set(EngineParam::MainVolume, 0.3f);
  Set(EngineParam::BassPitchAmt, 0.75f);
  host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_FLOAT_EQ(Get(EngineParam::PresetSelector), float(1.0 / 10001.0));
  NoteOn(40, 90);
  const AudioBuffers<double> plug = RenderDouble(800);

  ReferenceEngine reference(48000.0);
  // The values the host set, as the parameters hold them.
  reference.Set(EngineParam::MainVolume, double(0.3f));
  reference.Set(EngineParam::BassPitchAmt, double(0.75f));
  reference.NoteOn(40, 90, TokenAfterSteps(1));
  EXPECT_EQ(plug.out[0], reference.Render(800)[0]);
}

TEST_F(Vst2PluginTest, UnusableSampleRatesKeepThePreviousRate)
{
  host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                     std::numeric_limits<float>::infinity()})
    host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, rate);
  NoteOn(40, 90);
  const AudioBuffers<double> plug = RenderDouble(600);

  ReferenceEngine reference(48000.0);
  reference.NoteOn(40, 90, TokenAfterSteps(1));
  EXPECT_EQ(plug.out[0], reference.Render(600)[0]);
}

TEST_F(Vst2PluginTest, UnconnectedOutputsReceiveNothing)
{
  VstSpeakerArrangement input{};
  VstSpeakerArrangement output{};
  input.numChannels = 1;
  output.numChannels = 1;
  EXPECT_EQ(host.Dispatch(effect, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input),
                          &output),
            1);
  NoteOn(36, 100);
  AudioBuffers<float> buffers(2, 2, 256, 9.0f);
  host.ProcessReplacing(effect, buffers, 256);
  EXPECT_NE(buffers.out[0][100], 9.0f);
  for (float sample : buffers.out[1])
    ASSERT_EQ(sample, 9.0f);

  // Counts below zero or beyond the channels are limited, never used as an index.
  output.numChannels = -7;
  host.Dispatch(effect, effSetSpeakerArrangement, 0, 0, &output);
  AudioBuffers<float> none(2, 2, 64, 9.0f);
  host.ProcessReplacing(effect, none, 64);
  EXPECT_EQ(none.out[0][10], 9.0f);

  output.numChannels = 1 << 30;
  host.Dispatch(effect, effSetSpeakerArrangement, 0, 0, &output);
  AudioBuffers<float> both(2, 2, 64, 9.0f);
  host.ProcessReplacing(effect, both, 64);
  EXPECT_NE(both.out[0][60], 9.0f);
  EXPECT_NE(both.out[1][60], 9.0f);
}

TEST_F(Vst2PluginTest, EveryBlockAsksForMidiAndTheTempo)
{
  host.ClearRecords();
  RenderDouble(32);
  AudioBuffers<float> buffers(2, 2, 32);
  host.ProcessReplacing(effect, buffers, 32);
  EXPECT_EQ(host.CountCalls(audioMasterWantMidi), 2);
  ASSERT_FALSE(host.timeInfoRequests.empty());
  EXPECT_NE(host.timeInfoRequests.back() & kVstTempoValid, 0);
}

TEST_F(Vst2PluginTest, HostTempoFollowsTheHostLimitedToItsRange)
{
  host.timeInfo.tempo = 140.0;
  RenderDouble(16);
  EXPECT_FLOAT_EQ(Get(EngineParam::HostTempoBpm), float(140.0 / 1000.0));

  host.timeInfo.tempo = 1500.0;
  RenderDouble(16);
  EXPECT_FLOAT_EQ(Get(EngineParam::HostTempoBpm), 1.0f);

  // A tempo the host does not mark valid, or no time record at all, reads 0.
  host.timeInfo.tempo = 90.0;
  host.timeInfo.flags = kVstTimeSigValid;
  RenderDouble(16);
  EXPECT_EQ(Get(EngineParam::HostTempoBpm), 0.0f);

  host.timeInfo.flags = kVstTempoValid;
  host.timeInfoAvailable = false;
  RenderDouble(16);
  EXPECT_EQ(Get(EngineParam::HostTempoBpm), 0.0f);
}

TEST_F(Vst2PluginTest, DeactivationForgetsHeldNotes)
{
  NoteOn(36, 100);
  RenderDouble(16);
  ASSERT_TRUE(GateOpen());
  host.Dispatch(effect, effMainsChanged, 0, 0);
  EXPECT_FALSE(GateOpen());
  host.Dispatch(effect, effMainsChanged, 0, 1);
  EXPECT_FALSE(GateOpen());
}
