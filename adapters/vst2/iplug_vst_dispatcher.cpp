// The dispatcher: every opcode the host sends, answered with the instance
// lock held. Mostly the host's user-interface thread; may allocate.
#include "iplug_vst.h"

#include "param_text.h"
#include "vst2_chunk_header.h"
#include "vst2_version.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace
{
constexpr VstIntPtr kIdentifyAnswer = 0x4E764566; // 'NvEf'
constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;
constexpr VstIntPtr kCockosExtensionAnswer = 0xBEEF0000;
constexpr VstIntPtr kVstVersion = 2400;
// A SysEx record must be large enough to hold the fields read from it, under
// either reading of byteSize hosts use (the whole record, or the record
// without type and byteSize): a smaller one is a mislabelled plain event.
constexpr VstInt32 kSysexFieldsEnd = VstInt32(offsetof(VstMidiSysexEvent, resvd2));
// Older revisions of the parameter-text extension asked with this index.
constexpr VstInt32 kLegacyString2ParameterIndex = 8;
// Hosts pass counts and indices in pointer-sized values; anything outside
// the int range is as unknown as any other bad index.
int IndexFromValue(VstIntPtr value)
{
  return (value < INT_MIN || value > INT_MAX) ? -1 : static_cast<int>(value);
}
} // namespace

VstIntPtr IPlugVST::DispatcherCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                       VstIntPtr value, void* ptr, float opt)
{
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return 0;
  if (opcode == effClose)
  {
    // A host closing with the editor open: its thread ends before the
    // plug-in it works on.
    plug->StopEditorEvents();
    // Wait for any call in progress, then release the lock before the
    // plug-in that owns it goes away.
    {
      CriticalSectionLock lock(plug->GetLock());
    }
    delete plug;
    return 0;
  }
  try
  {
    // The host's name is asked before the lock is taken: no host callback
    // runs while the instance lock is held.
    if (opcode == effOpen) plug->GetHostId();
    VstIntPtr answer = 0;
    // These wait for the editor's event thread, whose work takes the lock.
    if (opcode == effEditOpen)
      answer = plug->EditOpen(ptr);
    else if (opcode == effEditClose)
      answer = plug->EditClose();
    else if (opcode == effEditIdle)
      answer = plug->EditIdle();
    else
    {
      CriticalSectionLock lock(plug->GetLock());
      answer = plug->Dispatch(opcode, index, value, ptr, opt);
    }
    // Events may come on the audio thread; every other opcode comes on the
    // user-interface thread, where the host hears of the plug-in's own
    // changes.
    if (opcode != effProcessEvents) plug->SendPendingHostNotifications();
    return answer;
  }
  catch (...)
  {
    // Memory running out deep inside a call (the editor window, a chunk)
    // fails that call; the host's C code must never unwind.
    return 0;
  }
}

VstIntPtr IPlugVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  switch (opcode)
  {
  case effOpen:
    OpenPlug();
    return 0;
  case effSetProgram:
    SetProgram(IndexFromValue(value));
    return 0;
  case effGetProgram:
    return GetCurrentPresetIdx();
  case effSetProgramName:
    if (ptr)
    {
      ModifyCurrentPreset(static_cast<const char*>(ptr));
      OnHostPresetsChanged();
    }
    return 0;
  case effGetProgramName:
    CopyTextToHost(ptr, GetPresetName(GetCurrentPresetIdx()), kVstMaxProgNameLen);
    return 0;
  case effGetParamLabel:
    if (const IPlugParam* param = GetParam(index))
      CopyTextToHost(ptr, param->LabelForHost(), kParamTextCapacity);
    return 0;
  case effGetParamDisplay:
    if (const IPlugParam* param = GetParam(index); param && ptr)
      param->FormatForHost(static_cast<char*>(ptr), int(kParamTextCapacity));
    return 0;
  case effGetParamName:
    if (const IPlugParam* param = GetParam(index))
      CopyTextToHost(ptr, param->Name(), kParamTextCapacity);
    return 0;
  case effSetSampleRate:
    SetSampleRateFromHost(opt);
    return 0;
  case effSetBlockSize:
    SetBlockSizeFromHost(value);
    return 0;
  case effMainsChanged:
    OnActivate(value != 0);
    if (value == 0) Reset();
    return 0;
  case effEditGetRect:
    return EditGetRect(ptr);
  case effIdentify:
    return kIdentifyAnswer;
  case effGetChunk:
    return GetChunk(index == 0, ptr);
  case effSetChunk:
    return SetChunk(index == 0, value, ptr);
  case effProcessEvents:
    return ProcessEvents(static_cast<const VstEvents*>(ptr));
  case effCanBeAutomated:
    return 1;
  case effString2Parameter:
    return StringToParameter(index, static_cast<const char*>(ptr));
  case effGetProgramNameIndexed:
    if (!ptr) return 0;
    CopyTextToHost(ptr, GetPresetName(index), kVstMaxProgNameLen);
    return static_cast<const char*>(ptr)[0] ? 1 : 0;
  case effGetInputProperties:
    return GetPinProperties(true, index, static_cast<VstPinProperties*>(ptr));
  case effGetOutputProperties:
    return GetPinProperties(false, index, static_cast<VstPinProperties*>(ptr));
  case effGetPlugCategory:
    return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
  case effSetSpeakerArrangement:
    return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                 static_cast<const VstSpeakerArrangement*>(ptr));
  case effGetEffectName:
    if (!ptr) return 0;
    CopyTextToHost(ptr, GetEffectName(), kVstMaxEffectNameLen);
    return 1;
  case effGetVendorString:
    if (!ptr) return 0;
    CopyTextToHost(ptr, GetMakerName(), kVstMaxVendorStrLen);
    return 1;
  case effGetProductString:
    if (!ptr) return 0;
    CopyTextToHost(ptr, GetProductName(), kVstMaxProductStrLen);
    return 1;
  case effGetVendorVersion:
    return DecimalFromPackedVersion(GetVersion());
  case effVendorSpecific:
    return VendorSpecific(index, value, ptr, opt);
  case effCanDo:
    return CanDo(static_cast<const char*>(ptr));
  case effGetTailSize:
    return GetTailSize();
  case effGetVstVersion:
    return kVstVersion;
  case effGetParameterProperties:
    return GetParameterProperties(index, static_cast<VstParameterProperties*>(ptr));
  case effGetMidiKeyName:
    return GetMidiKeyName(static_cast<MidiKeyName*>(ptr));
  case effGetSpeakerArrangement:
    if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &mInputArrangement;
    if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &mOutputArrangement;
    return 1;
  default:
    return 0;
  }
}

void IPlugVST::OpenPlug()
{
  HostSpecificSetup();
  for (int i = 0; i < ParamCount(); ++i)
    HandleParamChange(i);
}

void IPlugVST::SetProgram(int presetIdx)
{
  // Without state chunks the preset being left keeps what the user did to it.
  if (!DoesStateChunks()) ModifyCurrentPreset();
  ApplyPreset(presetIdx);
}

void IPlugVST::SetSampleRateFromHost(float sampleRate)
{
  // A host that sends 0, a negative rate or garbage keeps the last good rate.
  if (!std::isfinite(sampleRate) || sampleRate <= 0.0f) return;
  SetSampleRate(sampleRate);
  Reset();
}

void IPlugVST::SetBlockSizeFromHost(VstIntPtr frames)
{
  // Negative sizes, sizes beyond int and failed allocation keep the old
  // buffers (SetBlockSize ignores what it cannot hold).
  SetBlockSize(IndexFromValue(frames));
  Reset();
}

VstIntPtr IPlugVST::GetChunk(bool bank, void* ptr)
{
  if (!ptr) return 0;
  ByteChunk& chunk = bank ? mBankChunk : mProgramChunk;
  chunk.Clear();
  bool written = WriteVst2ChunkHeader(chunk);
  if (bank)
  {
    ModifyCurrentPreset();
    written = written && SerializePresets(chunk);
  }
  else
  {
    written = written && SaveStateChunk(chunk);
  }
  if (!written || chunk.Size() == 0) return 0;
  *static_cast<void**>(ptr) = chunk.GetBytes();
  return chunk.Size();
}

VstIntPtr IPlugVST::SetChunk(bool bank, VstIntPtr size, const void* data)
{
  // No data, a negative or empty size, or one beyond what a chunk can hold is
  // refused before anything changes.
  if (!data || size <= 0 || size > INT_MAX) return 0;
  // Copied aside first: hosts may hand back the very buffer GetChunk gave them.
  ByteChunk incoming;
  if (!incoming.Put(data, static_cast<int>(size))) return 0;
  int32_t version = 0;
  int pos = ReadVst2ChunkHeader(incoming, 0, version);
  // Without the header only a bare state of exactly the right size is
  // trusted: a damaged header must not be read as parameter values.
  if (pos == 0 && incoming.Size() != StateChunkSize()) pos = -1;
  if (pos >= 0)
  {
    if (bank && version >= kVst2ChunkVersion)
    {
      pos = UnserializePresets(incoming, pos);
    }
    else
    {
      pos = LoadStateChunk(incoming, pos);
      if (pos >= 0) ModifyCurrentPreset();
    }
  }
  (bank ? mBankChunk : mProgramChunk) = std::move(incoming);
  if (pos < 0) return 0;
  RefreshParamControls();
  return 1;
}

int IPlugVST::StateChunkSize()
{
  ByteChunk state;
  return SaveStateChunk(state) ? state.Size() : -1;
}

VstIntPtr IPlugVST::ProcessEvents(const VstEvents* events)
{
  if (!events) return 0;
  // The record declares two entries but carries numEvents of them.
  VstEvent* const* list = events->events;
  for (VstInt32 i = 0; i < events->numEvents; ++i)
  {
    const VstEvent* event = list[i];
    if (!event) continue;
    if (event->type == kVstMidiType)
    {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      IMidiEvent message;
      message.mOffset = midi->deltaFrames;
      // The bytes arrive as char, signed on most compilers.
      message.mStatus = static_cast<uint8_t>(midi->midiData[0]);
      message.mData1 = static_cast<uint8_t>(midi->midiData[1]);
      message.mData2 = static_cast<uint8_t>(midi->midiData[2]);
      HandleMidiEvent(message);
    }
    else if (event->type == kVstSysExType && event->byteSize >= kSysexFieldsEnd)
    {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      if (sysex->dumpBytes < 0 || (sysex->dumpBytes > 0 && !sysex->sysexDump)) continue;
      ISysEx message;
      message.mOffset = sysex->deltaFrames;
      message.mSize = sysex->dumpBytes;
      message.mData = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
      HandleSysEx(message);
    }
  }
  return 1;
}

VstIntPtr IPlugVST::StringToParameter(int paramIdx, const char* text)
{
  IPlugParam* param = GetParam(paramIdx);
  if (!param) return 0;
  if (!text) return 1;
  double value = 0.0;
  if (!ParamValueFromText(*param, text, value)) return 0;
  // Text is one more way for a host to send a value, resends included.
  if (IsResentHostValue(paramIdx, param->ToNormalized(value))) return 1;
  param->SetClamped(value);
  if (IPlugEditor* editor = GetEditor())
    editor->PushParamToControls(paramIdx, param->Value(), false);
  HandleParamChange(paramIdx);
  return 1;
}

VstIntPtr IPlugVST::GetPinProperties(bool input, int channel, VstPinProperties* properties) const
{
  const int count = input ? InChannelCount() : OutChannelCount();
  if (!properties || channel < 0 || channel >= count) return 0;
  properties->flags = kVstPinIsActive;
  if (channel % 2 == 0 && channel + 1 < count) properties->flags |= kVstPinIsStereo;
  const std::string& label = input ? GetInChannel(channel)->mLabel : GetOutChannel(channel)->mLabel;
  if (!label.empty())
    CopyTextToHost(properties->label, label.c_str(), sizeof(properties->label));
  else
    std::snprintf(properties->label, sizeof(properties->label), input ? "Input %d" : "Output %d",
                  channel + 1);
  return 1;
}

VstIntPtr IPlugVST::GetParameterProperties(int paramIdx, VstParameterProperties* properties) const
{
  const IPlugParam* param = GetParam(paramIdx);
  if (!param || !properties) return 0;
  *properties = VstParameterProperties{};
  CopyTextToHost(properties->label, param->Name(), sizeof(properties->label));
  CopyTextToHost(properties->shortLabel, param->ShortName(), sizeof(properties->shortLabel));
  if (param->IsSwitch()) properties->flags = kVstParameterIsSwitch;
  return 1;
}

VstIntPtr IPlugVST::SetSpeakerArrangement(const VstSpeakerArrangement* input,
                                          const VstSpeakerArrangement* output)
{
  if (input)
  {
    const int connected = ClampChannelCount(input->numChannels, InChannelCount());
    for (int i = 0; i < InChannelCount(); ++i)
      SetInputConnected(i, i < connected);
  }
  if (output)
  {
    const int connected = ClampChannelCount(output->numChannels, OutChannelCount());
    for (int i = 0; i < OutChannelCount(); ++i)
      SetOutputConnected(i, i < connected);
  }
  return 1;
}

VstIntPtr IPlugVST::VendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  const IPlugParam* param = GetParam(IndexFromValue(value));
  if (index == effGetParamDisplay)
  {
    if (!ptr) return 0;
    if (param) param->FormatForHost(opt, true, static_cast<char*>(ptr), kVstMaxParamStrLen, true);
    return kVendorSpecificAnswer;
  }
  if (index == effString2Parameter || index == kLegacyString2ParameterIndex)
    return (param && param->Type() != TypeDouble) ? kVendorSpecificAnswer : 0;
  return 0;
}

VstIntPtr IPlugVST::CanDo(const char* text) const
{
  if (!text) return 0;
  if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
  if (DoesMidi())
  {
    for (const char* midiCapability :
         {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
      if (std::strcmp(text, midiCapability) == 0) return 1;
  }
  if (std::strcmp(text, "hasCockosExtensions") == 0 ||
      std::strcmp(text, "hasCockosViewAsConfig") == 0)
    return kCockosExtensionAnswer;
  return 0;
}

VstIntPtr IPlugVST::GetMidiKeyName(MidiKeyName* keyName)
{
  if (!keyName) return 0;
  std::memset(keyName->keyName, 0, sizeof(keyName->keyName));
  return NoteName(keyName->thisKeyNumber, keyName->keyName, sizeof(keyName->keyName)) ? 1 : 0;
}
