// The VST2 adapter with a small probe plug-in built into the test: the parts
// of IPlugVST that the instrument does not show (time queries, host
// identification, channel set-up, events out, display texts, activation).
#include "four_char_code.h"
#include "host_identify.h"
#include "iplug_vst.h"
#include "vst2_test_host.h"

#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <vector>

namespace
{
// Records what the adapter hands to the plug-in.
class ProbePlug : public IPlugVST
{
public:
  ProbePlug(audioMasterCallback host, const char* channelIO)
      : IPlugVST(host, 2, channelIO, 2, "Probe", "Probe Product", "Probe Maker", 0x00020103,
                 FourCharCode("Prb1"), FourCharCode("Test"), true, false, false)
  {
    GetParam(0)->DefineDouble("Gain", 0.5, -1.0, 1.0, 0.01);
    GetParam(1)->DefineDouble("Mode", 0.0, 0.0, 1.0, 1.0);
    GetParam(1)->SetType(TypeEnum);
    GetParam(1)->AddDisplayText(0, "Off");
    GetParam(1)->AddDisplayText(1, "On");
  }

  void Reset() override
  {
    if (outOfMemory) throw std::bad_alloc();
    ++resets;
  }
  void OnActivate(bool active) override { activations.push_back(active); }
  void HandleParamChange(int paramIdx) override
  {
    if (outOfMemory) throw std::bad_alloc();
    changes.push_back(paramIdx);
  }
  void HandleMidiEvent(const IMidiEvent& message) override { midi.push_back(message); }
  void HandleSysEx(const ISysEx& message) override { sysexSizes.push_back(message.mSize); }

  // Makes Reset and HandleParamChange fail as a deep allocation would.
  bool outOfMemory = false;
  int resets = 0;
  std::vector<bool> activations;
  std::vector<int> changes;
  std::vector<IMidiEvent> midi;
  std::vector<int> sysexSizes;
};

AEffect* StereoProbeMain(audioMasterCallback host)
{
  return (new ProbePlug(host, "2-2"))->GetAEffect();
}

AEffect* MonoOrStereoProbeMain(audioMasterCallback host)
{
  return (new ProbePlug(host, "1-1 2-2"))->GetAEffect();
}

AEffect* QuadProbeMain(audioMasterCallback host)
{
  return (new ProbePlug(host, "4-4"))->GetAEffect();
}

ProbePlug* Probe(AEffect* effect)
{
  return static_cast<ProbePlug*>(static_cast<IPlugVST*>(effect->object));
}
} // namespace

class IPlugVSTTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    effect = host.InstantiateFrom(&StereoProbeMain);
    ASSERT_NE(effect, nullptr);
    probe = Probe(effect);
  }

  Vst2TestHost host;
  AEffect* effect = nullptr;
  ProbePlug* probe = nullptr;
};

TEST_F(IPlugVSTTest, RecordReflectsTheIdentity)
{
  EXPECT_EQ(effect->version, 20103);
  EXPECT_EQ(effect->numPrograms, 2);
  EXPECT_EQ(effect->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing);
  EXPECT_EQ(host.Dispatch(effect, effGetPlugCategory), kPlugCategEffect);
  EXPECT_EQ(host.DispatchForText(effect, effGetProductString), "Probe Product");
  EXPECT_EQ(probe->GetBlockSize(), 1024);

  Vst2TestHost other;
  AEffect* mono = other.InstantiateFrom(&MonoOrStereoProbeMain);
  ASSERT_NE(mono, nullptr);
  EXPECT_NE(mono->flags & effFlagsCanMono, 0);
}

TEST_F(IPlugVSTTest, HostIsIdentifiedWithItsVersionRepacked)
{
  host.productName = "Cubase VST";
  host.vendorVersion = 10203;
  host.Dispatch(effect, effOpen);
  EXPECT_EQ(probe->GetHostId(), HostCubase);
  EXPECT_EQ(probe->GetHostVersion(), 0x00010203);

  Vst2TestHost anonymous;
  anonymous.productName = "";
  AEffect* other = anonymous.InstantiateFrom(&StereoProbeMain);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(Probe(other)->GetHostId(), HostUnknown);
  EXPECT_EQ(Probe(other)->GetHostVersion(), 0);
}

TEST_F(IPlugVSTTest, OpenAnnouncesEveryParameterInOrder)
{
  host.Dispatch(effect, effOpen);
  EXPECT_EQ(probe->changes, (std::vector<int>{0, 1}));
}

TEST(IPlugVSTHostSetup, SomeHostsFeedOnlyTwoInputs)
{
  Vst2TestHost forte;
  forte.productName = "Forte 4";
  AEffect* effect = forte.InstantiateFrom(&QuadProbeMain);
  ASSERT_NE(effect, nullptr);
  ProbePlug* probe = Probe(effect);
  VstSpeakerArrangement output{};
  output.numChannels = 2;
  forte.Dispatch(effect, effSetSpeakerArrangement, 0, 0, &output);
  forte.Dispatch(effect, effOpen);
  EXPECT_TRUE(probe->GetInChannel(1)->mConnected);
  EXPECT_FALSE(probe->GetInChannel(2)->mConnected);
  EXPECT_FALSE(probe->GetInChannel(3)->mConnected);
  EXPECT_TRUE(probe->GetOutChannel(3)->mConnected);
  EXPECT_EQ(effect->numInputs, 4);

  VstSpeakerArrangement* inputs = nullptr;
  forte.Dispatch(effect, effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&inputs));
  ASSERT_NE(inputs, nullptr);
  EXPECT_EQ(inputs->type, kSpeakerArrUserDefined);
  EXPECT_EQ(inputs->numChannels, 4);
}

TEST_F(IPlugVSTTest, TempoNeedsAValidNonNegativeTempo)
{
  host.timeInfo.tempo = 133.0;
  host.timeInfo.flags = kVstTempoValid;
  EXPECT_EQ(probe->GetTempo(), 133.0);
  EXPECT_EQ(host.timeInfoRequests.back(), kVstTempoValid);
  host.timeInfo.flags = 0;
  EXPECT_EQ(probe->GetTempo(), 0.0);
  host.timeInfo.flags = kVstTempoValid;
  host.timeInfo.tempo = -1.0;
  EXPECT_EQ(probe->GetTempo(), 0.0);
  host.timeInfoAvailable = false;
  EXPECT_EQ(probe->GetTempo(), 0.0);
}

TEST_F(IPlugVSTTest, SamplePositionRoundsHalvesUp)
{
  host.timeInfo.samplePos = 10.5;
  EXPECT_EQ(probe->GetSamplePosition(), 11);
  host.timeInfo.samplePos = 10.49;
  EXPECT_EQ(probe->GetSamplePosition(), 10);
  host.timeInfo.samplePos = -3.0;
  EXPECT_EQ(probe->GetSamplePosition(), 0);
  host.timeInfo.samplePos = 1e12;
  EXPECT_EQ(probe->GetSamplePosition(), INT_MAX);
  host.timeInfoAvailable = false;
  EXPECT_EQ(probe->GetSamplePosition(), 0);
}

TEST_F(IPlugVSTTest, TimeSignatureNeedsValidNonNegativeValues)
{
  int numerator = -9;
  int denominator = -9;
  host.timeInfo.flags = kVstTimeSigValid;
  host.timeInfo.timeSigNumerator = 7;
  host.timeInfo.timeSigDenominator = 8;
  probe->GetTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 7);
  EXPECT_EQ(denominator, 8);
  host.timeInfo.timeSigDenominator = -8;
  probe->GetTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 0);
  EXPECT_EQ(denominator, 0);
  host.timeInfo.timeSigDenominator = 8;
  host.timeInfo.flags = kVstTempoValid;
  probe->GetTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 0);
}

TEST_F(IPlugVSTTest, TransportTakesOnlyWhatTheHostMarksValid)
{
  ITransportInfo info;
  info.mTempo = -1.0;
  info.mSamplePos = -1.0;
  info.mPPQPos = -1.0;
  info.mLastBar = -1.0;
  info.mNumerator = -1;
  info.mTransportRunning = true;
  host.timeInfo.flags = kVstTransportPlaying; // none of the asked fields
  probe->QueryTransport(info);
  EXPECT_EQ(host.timeInfoRequests.back(), 0x3E00);
  EXPECT_EQ(info.mTempo, -1.0);
  EXPECT_EQ(info.mSamplePos, -1.0);

  host.timeInfo.samplePos = 4410.0;
  host.timeInfo.ppqPos = 2.0;
  host.timeInfo.tempo = 0.0; // not positive: kept
  host.timeInfo.barStartPos = 1.5;
  host.timeInfo.cycleStartPos = 4.0;
  host.timeInfo.cycleEndPos = 8.0;
  host.timeInfo.timeSigNumerator = 3;
  host.timeInfo.timeSigDenominator = 4;
  host.timeInfo.flags = kVstPpqPosValid | kVstTempoValid | kVstCyclePosValid | kVstTimeSigValid |
                        kVstTransportCycleActive;
  probe->QueryTransport(info);
  EXPECT_EQ(info.mSamplePos, 4410.0);
  EXPECT_EQ(info.mPPQPos, 2.0);
  EXPECT_EQ(info.mTempo, -1.0);
  EXPECT_EQ(info.mLastBar, -1.0); // bars not marked valid
  EXPECT_EQ(info.mCycleStart, 4.0);
  EXPECT_EQ(info.mCycleEnd, 8.0);
  EXPECT_EQ(info.mNumerator, 3);
  EXPECT_EQ(info.mDenominator, 4);
  EXPECT_FALSE(info.mTransportRunning);
  EXPECT_TRUE(info.mLoopEnabled);
}

TEST_F(IPlugVSTTest, OfflineRenderFollowsTheProcessLevel)
{
  host.processLevel = kVstProcessLevelOffline;
  EXPECT_TRUE(probe->IsOfflineRender());
  host.processLevel = kVstProcessLevelRealtime;
  EXPECT_FALSE(probe->IsOfflineRender());
}

TEST_F(IPlugVSTTest, EventsGoOutAsTheInterfaceDescribesThem)
{
  IMidiEvent message;
  message.mOffset = 17;
  message.mStatus = 0x92;
  message.mData1 = 60;
  message.mData2 = 200;
  EXPECT_TRUE(probe->SendMidiEvent(message));
  ASSERT_EQ(host.receivedMidi.size(), 1u);
  const VstMidiEvent& sent = host.receivedMidi[0];
  EXPECT_EQ(sent.type, kVstMidiType);
  EXPECT_EQ(sent.byteSize, 32);
  EXPECT_EQ(sent.deltaFrames, 17);
  EXPECT_EQ(uint8_t(sent.midiData[0]), 0x92);
  EXPECT_EQ(uint8_t(sent.midiData[1]), 60);
  EXPECT_EQ(uint8_t(sent.midiData[2]), 200);
  EXPECT_EQ(sent.midiData[3], 0);
  EXPECT_EQ(sent.noteLength, 0);

  const uint8_t dump[] = {0xF0, 0x7D, 0x10, 0xF7};
  ISysEx sysex;
  sysex.mOffset = 3;
  sysex.mSize = 4;
  sysex.mData = dump;
  EXPECT_TRUE(probe->SendSysExMessage(sysex));
  ASSERT_EQ(host.receivedSysex.size(), 1u);
  EXPECT_EQ(host.receivedSysex[0], (std::vector<char>{char(0xF0), 0x7D, 0x10, char(0xF7)}));

  host.processEventsAnswer = 0;
  EXPECT_FALSE(probe->SendMidiEvent(message));
}

TEST_F(IPlugVSTTest, IncomingMidiBytesAreReadUnsigned)
{
  Vst2EventList events;
  events.AddMidi(5, 0x9F, 200, 255);
  events.AddSysex(0, {char(0xF0), char(0xF7)});
  EXPECT_EQ(host.SendEvents(effect, events), 1);
  ASSERT_EQ(probe->midi.size(), 1u);
  EXPECT_EQ(probe->midi[0].mOffset, 5);
  EXPECT_EQ(probe->midi[0].mStatus, 0x9F);
  EXPECT_EQ(probe->midi[0].mData1, 200);
  EXPECT_EQ(probe->midi[0].mData2, 255);
  EXPECT_EQ(probe->sysexSizes, (std::vector<int>{2}));
}

TEST_F(IPlugVSTTest, LatencyReachesTheRecord)
{
  probe->SetLatency(64);
  EXPECT_EQ(effect->initialDelay, 64);
  probe->SetLatency(-5);
  EXPECT_EQ(effect->initialDelay, 0);
}

TEST_F(IPlugVSTTest, ActivationAndRateChangesReset)
{
  host.Dispatch(effect, effMainsChanged, 0, 1);
  EXPECT_EQ(probe->activations, (std::vector<bool>{true}));
  EXPECT_EQ(probe->resets, 0);
  host.Dispatch(effect, effMainsChanged, 0, 0);
  EXPECT_EQ(probe->activations, (std::vector<bool>{true, false}));
  EXPECT_EQ(probe->resets, 1);

  host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_EQ(probe->GetSampleRate(), 48000.0);
  EXPECT_EQ(probe->resets, 2);
  host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(probe->GetSampleRate(), 48000.0);
  EXPECT_EQ(probe->resets, 2);

  host.Dispatch(effect, effSetBlockSize, 0, 256);
  EXPECT_EQ(probe->GetBlockSize(), 256);
  host.Dispatch(effect, effSetBlockSize, 0, -4);
  host.Dispatch(effect, effSetBlockSize, 0, VstIntPtr(1) << 40);
  EXPECT_EQ(probe->GetBlockSize(), 256);
}

TEST_F(IPlugVSTTest, FailuresInsideACallNeverReachTheHost)
{
  probe->outOfMemory = true;
  EXPECT_EQ(host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
  char quarter[] = "0.25";
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, 0, 0, quarter), 0);
  effect->setParameter(effect, 0, 0.75f);
  probe->outOfMemory = false;

  // The instance keeps answering afterwards.
  host.Dispatch(effect, effMainsChanged, 0, 0);
  EXPECT_EQ(probe->resets, 1);
  effect->setParameter(effect, 0, 1.0f);
  EXPECT_EQ(probe->changes, (std::vector<int>{0}));
}

TEST_F(IPlugVSTTest, TextToParameterUsesDisplayTextsAndNegation)
{
  char on[] = "On";
  char maybe[] = "Maybe";
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, 1, 0, on), 1);
  EXPECT_EQ(probe->GetParam(1)->Value(), 1.0);
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, 1, 0, maybe), 0);
  EXPECT_EQ(probe->GetParam(1)->Value(), 1.0);
  EXPECT_EQ(host.DispatchForText(effect, effGetParamDisplay, 1), "On");

  probe->GetParam(0)->SetNegateDisplay(true);
  char quarter[] = "0.25";
  EXPECT_EQ(host.Dispatch(effect, effString2Parameter, 0, 0, quarter), 1);
  EXPECT_EQ(probe->GetParam(0)->Value(), -0.25);
  EXPECT_EQ(probe->changes.back(), 0);
}

TEST_F(IPlugVSTTest, VendorSpecificTextSupportForSteppedParameters)
{
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, effString2Parameter, 1), 0xBEEF);
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, 8, 1), 0xBEEF);
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, effString2Parameter, 0), 0);
  EXPECT_EQ(host.Dispatch(effect, effVendorSpecific, effString2Parameter, 2), 0);
}
