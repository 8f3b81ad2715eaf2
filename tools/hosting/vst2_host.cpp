#include "vst2_host.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
// The host an instance belongs to is kept in the record's resvd1, which the
// interface leaves to hosts. While the entry point runs the record does not
// exist yet, so calls made then go to the host that is creating it.
thread_local Vst2Host* tHostCreatingInstance = nullptr;

void CopyText(void* destination, const std::string& text, size_t capacity)
{
  if (!destination || capacity == 0) return;
  const size_t length = std::min(text.size(), capacity - 1);
  std::memcpy(destination, text.data(), length);
  static_cast<char*>(destination)[length] = '\0';
}
} // namespace

void Vst2EventList::AddMidi(VstInt32 deltaFrames, uint8_t status, uint8_t data1, uint8_t data2)
{
  auto event = std::make_unique<VstMidiEvent>();
  std::memset(event.get(), 0, sizeof(VstMidiEvent));
  event->type = kVstMidiType;
  event->byteSize = sizeof(VstMidiEvent);
  event->deltaFrames = deltaFrames;
  event->midiData[0] = static_cast<char>(status);
  event->midiData[1] = static_cast<char>(data1);
  event->midiData[2] = static_cast<char>(data2);
  mOrder.push_back(reinterpret_cast<VstEvent*>(event.get()));
  mMidi.push_back(std::move(event));
}

void Vst2EventList::AddSysex(VstInt32 deltaFrames, const std::vector<char>& bytes)
{
  mSysexBytes.push_back(std::make_unique<std::vector<char>>(bytes));
  auto event = std::make_unique<VstMidiSysexEvent>();
  std::memset(event.get(), 0, sizeof(VstMidiSysexEvent));
  event->type = kVstSysExType;
  event->byteSize = sizeof(VstMidiSysexEvent);
  event->deltaFrames = deltaFrames;
  event->dumpBytes = VstInt32(bytes.size());
  event->sysexDump = mSysexBytes.back()->data();
  mOrder.push_back(reinterpret_cast<VstEvent*>(event.get()));
  mSysex.push_back(std::move(event));
}

void Vst2EventList::AddEmptyEntry()
{
  mOrder.push_back(nullptr);
}

void Vst2EventList::AddOtherType(VstInt32 type, VstInt32 deltaFrames)
{
  auto event = std::make_unique<VstEvent>();
  std::memset(event.get(), 0, sizeof(VstEvent));
  event->type = type;
  event->byteSize = sizeof(VstEvent);
  event->deltaFrames = deltaFrames;
  mOrder.push_back(event.get());
  mOther.push_back(std::move(event));
}

VstEvents* Vst2EventList::Build()
{
  // The record is declared with two pointers but carries numEvents of them.
  const size_t pointerCount = std::max<size_t>(mOrder.size(), 2);
  mRecord.assign(offsetof(VstEvents, events) + pointerCount * sizeof(VstEvent*), 0);
  auto* record = new (mRecord.data()) VstEvents{};
  record->numEvents = VstInt32(mOrder.size());
  auto* pointers = reinterpret_cast<VstEvent**>(mRecord.data() + offsetof(VstEvents, events));
  std::copy(mOrder.begin(), mOrder.end(), pointers);
  return record;
}

Vst2Host::Vst2Host(const std::string& pluginPath) : mLibrary(pluginPath)
{
  timeInfo.sampleRate = sampleRate;
  timeInfo.tempo = 120.0;
  timeInfo.timeSigNumerator = 4;
  timeInfo.timeSigDenominator = 4;
  timeInfo.flags = kVstTempoValid | kVstTimeSigValid;
}

Vst2Host::~Vst2Host()
{
  while (!mOpenEffects.empty())
    Close(mOpenEffects.back());
}

AEffect* Vst2Host::Instantiate(const char* entryName)
{
  return InstantiateFrom(reinterpret_cast<VstPluginMainProc>(mLibrary.FindSymbol(entryName)));
}

AEffect* Vst2Host::InstantiateFrom(VstPluginMainProc entry)
{
  if (!entry) return nullptr;
  tHostCreatingInstance = this;
  AEffect* effect = entry(&Vst2Host::HostCallback);
  tHostCreatingInstance = nullptr;
  if (!effect) return nullptr;
  effect->resvd1 = reinterpret_cast<VstIntPtr>(this);
  mOpenEffects.push_back(effect);
  return effect;
}

AEffect* Vst2Host::InstantiateAndStart(double rate, VstInt32 frames)
{
  AEffect* effect = Instantiate();
  if (!effect) return nullptr;
  sampleRate = rate;
  blockSize = frames;
  timeInfo.sampleRate = rate;
  Dispatch(effect, effOpen);
  Dispatch(effect, effSetSampleRate, 0, 0, nullptr, float(rate));
  Dispatch(effect, effSetBlockSize, 0, frames);
  Dispatch(effect, effMainsChanged, 0, 1);
  return effect;
}

void Vst2Host::Close(AEffect* effect)
{
  auto found = std::find(mOpenEffects.begin(), mOpenEffects.end(), effect);
  if (found == mOpenEffects.end()) return;
  mOpenEffects.erase(found);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

VstIntPtr Vst2Host::Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                             void* ptr, float opt)
{
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Vst2Host::DispatchForText(AEffect* effect, VstInt32 opcode, VstInt32 index)
{
  // Hosts commonly hand more room than the interface's limits promise.
  char text[512] = {};
  Dispatch(effect, opcode, index, 0, text);
  return std::string(text, strnlen(text, sizeof(text)));
}

VstIntPtr Vst2Host::SendEvents(AEffect* effect, Vst2EventList& events)
{
  return Dispatch(effect, effProcessEvents, 0, 0, events.Build());
}

VstIntPtr Vst2Host::CanDo(AEffect* effect, const char* text)
{
  return Dispatch(effect, effCanDo, 0, 0, const_cast<char*>(text));
}

void Vst2Host::ProcessReplacing(AEffect* effect, AudioBuffers<float>& buffers, VstInt32 frames)
{
  effect->processReplacing(effect, buffers.Inputs(), buffers.Outputs(), frames);
}

void Vst2Host::ProcessAccumulating(AEffect* effect, AudioBuffers<float>& buffers, VstInt32 frames)
{
  effect->process(effect, buffers.Inputs(), buffers.Outputs(), frames);
}

void Vst2Host::ProcessDoubleReplacing(AEffect* effect, AudioBuffers<double>& buffers,
                                      VstInt32 frames)
{
  effect->processDoubleReplacing(effect, buffers.Inputs(), buffers.Outputs(), frames);
}

VstIntPtr Vst2Host::HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt)
{
  Vst2Host* host = (effect && effect->resvd1) ? reinterpret_cast<Vst2Host*>(effect->resvd1)
                                              : tHostCreatingInstance;
  if (!host) return 0;
  return host->Answer(opcode, index, value, ptr, opt);
}

VstIntPtr Vst2Host::Answer(VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
  switch (opcode)
  {
  case audioMasterVersion:
    return hostVstVersion;
  case audioMasterGetTime:
    return timeInfoAvailable ? reinterpret_cast<VstIntPtr>(&timeInfo) : 0;
  case audioMasterGetSampleRate:
    return VstIntPtr(sampleRate);
  case audioMasterGetBlockSize:
    return blockSize;
  case audioMasterGetCurrentProcessLevel:
    return processLevel;
  case audioMasterGetVendorString:
    CopyText(ptr, vendorName, kVstMaxVendorStrLen);
    return vendorName.empty() ? 0 : 1;
  case audioMasterGetProductString:
    CopyText(ptr, productName, kVstMaxProductStrLen);
    return productName.empty() ? 0 : 1;
  case audioMasterGetVendorVersion:
    return vendorVersion;
  case audioMasterCanDo:
  {
    if (!ptr) return 0;
    const std::string asked(static_cast<const char*>(ptr));
    return std::find(canDo.begin(), canDo.end(), asked) != canDo.end() ? 1 : 0;
  }
  case audioMasterWantMidi:
  case audioMasterAutomate:
  case audioMasterBeginEdit:
  case audioMasterEndEdit:
  case audioMasterUpdateDisplay:
  case audioMasterIOChanged:
  case audioMasterSizeWindow:
    return 1;
  default:
    return 0;
  }
}
