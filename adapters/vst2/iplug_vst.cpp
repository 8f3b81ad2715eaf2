// Construction of the VST2 adapter and the base operations it answers
// through the host callback.
#include "iplug_vst.h"

#include "host_identify.h"
#include "vst2_version.h"

#include <climits>
#include <cmath>

namespace
{
constexpr int kInitialBlockSize = 1024;
constexpr VstInt32 kTransportFields =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

void DescribeArrangement(VstSpeakerArrangement& arrangement, int channels)
{
  switch (channels)
  {
  case 0:
    arrangement.type = kSpeakerArrEmpty;
    break;
  case 1:
    arrangement.type = kSpeakerArrMono;
    break;
  case 2:
    arrangement.type = kSpeakerArrStereo;
    break;
  default:
    arrangement.type = kSpeakerArrUserDefined;
    break;
  }
  arrangement.numChannels = channels;
}
} // namespace

IPlugVST::IPlugVST(audioMasterCallback host, int nParams, const char* channelIO, int nPresets,
                   const char* effectName, const char* productName, const char* makerName,
                   int32_t version, int32_t uniqueID, int32_t makerID, bool doesMidi,
                   bool doesStateChunks, bool isInstrument)
    : IPlugBase(nParams, channelIO, nPresets, effectName, productName, makerName, version, uniqueID,
                makerID, doesMidi, doesStateChunks, isInstrument, kApiVST2),
      mHostCallback(host)
{
  mAEffect.magic = kEffectMagic;
  mAEffect.dispatcher = &IPlugVST::DispatcherCallback;
  mAEffect.process = &IPlugVST::ProcessAccumulatingCallback;
  mAEffect.setParameter = &IPlugVST::SetParameterCallback;
  mAEffect.getParameter = &IPlugVST::GetParameterCallback;
  mAEffect.numPrograms = nPresets;
  mAEffect.numParams = nParams;
  mAEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (LegalIO(1, -1)) mAEffect.flags |= effFlagsCanMono;
  if (isInstrument) mAEffect.flags |= effFlagsIsSynth;
  mAEffect.initialDelay = GetLatency();
  mAEffect.ioRatio = 1.0f;
  mAEffect.object = this;
  mAEffect.uniqueID = uniqueID;
  mAEffect.version = DecimalFromPackedVersion(version);
  mAEffect.processReplacing = &IPlugVST::ProcessReplacingCallback;
  mAEffect.processDoubleReplacing = &IPlugVST::ProcessDoubleReplacingCallback;
  UpdateArrangementsFromChannels();

  for (int i = 0; i < InChannelCount(); ++i)
    SetInputConnected(i, true);
  for (int i = 0; i < OutChannelCount(); ++i)
    SetOutputConnected(i, true);
  SetBlockSize(kInitialBlockSize);
}

// The chunk buffers go with the adapter; the base then frees the rest.
IPlugVST::~IPlugVST()
{
  StopEditorEvents();
}

void IPlugVST::UpdateArrangementsFromChannels()
{
  mAEffect.numInputs = InChannelCount();
  mAEffect.numOutputs = OutChannelCount();
  DescribeArrangement(mInputArrangement, InChannelCount());
  DescribeArrangement(mOutputArrangement, OutChannelCount());
}

VstIntPtr IPlugVST::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  return mHostCallback ? mHostCallback(&mAEffect, opcode, index, value, ptr, opt) : 0;
}

const VstTimeInfo* IPlugVST::HostTimeInfo(VstInt32 mask)
{
  return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, mask));
}

void IPlugVST::BeginParamGesture(int paramIdx)
{
  CallHost(audioMasterBeginEdit, paramIdx);
}

void IPlugVST::NotifyHostParamValue(int paramIdx, double normalized)
{
  CallHost(audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::EndParamGesture(int paramIdx)
{
  CallHost(audioMasterEndEdit, paramIdx);
}

void IPlugVST::NotifyHostPresetChange()
{
  CallHost(audioMasterUpdateDisplay);
}

bool IPlugVST::IsOfflineRender()
{
  return CallHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

int IPlugVST::GetSamplePosition()
{
  const VstTimeInfo* time = HostTimeInfo(0);
  // NaN fails the test; positions past the int range saturate.
  if (!time || !(time->samplePos >= 0.0)) return 0;
  const double rounded = std::floor(time->samplePos + 0.5);
  return rounded >= double(INT_MAX) ? INT_MAX : static_cast<int>(rounded);
}

double IPlugVST::GetTempo()
{
  if (mInBlock) return mBlockTempo;
  const VstTimeInfo* time = HostTimeInfo(kVstTempoValid);
  if (!time || !(time->flags & kVstTempoValid) || !(time->tempo >= 0.0)) return 0.0;
  return time->tempo;
}

void IPlugVST::GetTimeSignature(int& numerator, int& denominator)
{
  numerator = 0;
  denominator = 0;
  const VstTimeInfo* time = HostTimeInfo(kVstTimeSigValid);
  if (!time || !(time->flags & kVstTimeSigValid) || time->timeSigNumerator < 0 ||
      time->timeSigDenominator < 0)
    return;
  numerator = time->timeSigNumerator;
  denominator = time->timeSigDenominator;
}

void IPlugVST::QueryTransport(ITransportInfo& info)
{
  const VstTimeInfo* time = HostTimeInfo(kTransportFields);
  if (!time || !(time->flags & kTransportFields)) return;
  info.mSamplePos = time->samplePos;
  if ((time->flags & kVstPpqPosValid) && time->ppqPos >= 0.0) info.mPPQPos = time->ppqPos;
  if ((time->flags & kVstTempoValid) && time->tempo > 0.0) info.mTempo = time->tempo;
  if ((time->flags & kVstBarsValid) && time->barStartPos >= 0.0) info.mLastBar = time->barStartPos;
  if ((time->flags & kVstCyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0)
  {
    info.mCycleStart = time->cycleStartPos;
    info.mCycleEnd = time->cycleEndPos;
  }
  if ((time->flags & kVstTimeSigValid) && time->timeSigNumerator > 0 &&
      time->timeSigDenominator > 0)
  {
    info.mNumerator = time->timeSigNumerator;
    info.mDenominator = time->timeSigDenominator;
  }
  info.mTransportRunning = (time->flags & kVstTransportPlaying) != 0;
  info.mLoopEnabled = (time->flags & kVstTransportCycleActive) != 0;
}

int IPlugVST::GetHostId()
{
  const int known = IPlugBase::GetHostId();
  if (known != HostUnidentified) return known;
  // More room than the interface's 64 characters, and a terminator the host
  // cannot overwrite.
  char name[kVstMaxProductStrLen * 4] = {};
  CallHost(audioMasterGetProductString, 0, 0, name);
  name[sizeof(name) - 1] = '\0';
  int32_t version = 0;
  if (name[0]) version = PackedFromDecimalVersion(CallHost(audioMasterGetVendorVersion));
  const int host = IdentifyHost(name);
  SetHostIdentity(host, version);
  return host;
}

void IPlugVST::HostSpecificSetup()
{
  if (mHostSetupDone) return;
  mHostSetupDone = true;
  const int host = GetHostId();
  // These hosts only feed the first two inputs but read every output.
  if (host == HostForte || host == HostAudition || host == HostOrion || host == HostSawStudio)
  {
    for (int i = 2; i < InChannelCount(); ++i)
      SetInputConnected(i, false);
    for (int i = 2; i < OutChannelCount(); ++i)
      SetOutputConnected(i, true);
  }
  UpdateArrangementsFromChannels();
  AfterHostIdentified();
}

void IPlugVST::SetLatency(int frames)
{
  IPlugBase::SetLatency(frames);
  mAEffect.initialDelay = GetLatency();
}

bool IPlugVST::SendEventToHost(VstEvent* event)
{
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = event;
  return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IPlugVST::SendMidiEvent(const IMidiEvent& message)
{
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = message.mOffset;
  event.midiData[0] = static_cast<char>(message.mStatus);
  event.midiData[1] = static_cast<char>(message.mData1);
  event.midiData[2] = static_cast<char>(message.mData2);
  return SendEventToHost(reinterpret_cast<VstEvent*>(&event));
}

bool IPlugVST::SendSysExMessage(const ISysEx& message)
{
  VstMidiSysexEvent event{};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = message.mOffset;
  event.dumpBytes = message.mSize;
  // The interface's field is not const; hosts only read it.
  event.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(message.mData));
  return SendEventToHost(reinterpret_cast<VstEvent*>(&event));
}
