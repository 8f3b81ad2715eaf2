#include "single_component_effect.h"

namespace Steinberg
{
namespace Vst
{

SingleComponentEffect::SingleComponentEffect()
    : audioInputs(kAudio, kInput), audioOutputs(kAudio, kOutput), eventInputs(kEvent, kInput),
      eventOutputs(kEvent, kOutput), processSetup{kRealtime, kSample32, 1024, 44100.0}
{
}

SingleComponentEffect::~SingleComponentEffect() = default;

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context)
{
  // The base class only looks for a stored host context, so a host that
  // passes none could initialize again and get every bus and parameter twice.
  if (initialized) return kResultFalse;
  const tresult result = EditControllerEx1::initialize(context);
  initialized = result == kResultOk;
  return result;
}

tresult PLUGIN_API SingleComponentEffect::terminate()
{
  initialized = false;
  removeAllBusses();
  parameters.removeAll();
  return EditControllerEx1::terminate();
}

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID)
{
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode)
{
  return kNotImplemented;
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir)
{
  BusList* list = getBusList(type, dir);
  return list ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                                     BusInfo& bus)
{
  BusList* list = getBusList(type, dir);
  if (!list || index < 0 || index >= static_cast<int32>(list->size())) return kInvalidArgument;
  bus = BusInfo{};
  bus.mediaType = type;
  bus.direction = dir;
  return (*list)[static_cast<size_t>(index)]->getInfo(bus) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&)
{
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index,
                                                      TBool state)
{
  BusList* list = getBusList(type, dir);
  if (!list || index < 0 || index >= static_cast<int32>(list->size())) return kInvalidArgument;
  (*list)[static_cast<size_t>(index)]->setActive(state);
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool)
{
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setState(IBStream*)
{
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::getState(IBStream*)
{
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::setComponentState(IBStream*)
{
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount()) return kInvalidArgument;
  return EditControllerEx1::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API SingleComponentEffect::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex < 0 || unitIndex >= getUnitCount()) return kInvalidArgument;
  return EditControllerEx1::getUnitInfo(unitIndex, info);
}

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs,
                                                             int32 numIns,
                                                             SpeakerArrangement* outputs,
                                                             int32 numOuts)
{
  if (numIns != static_cast<int32>(audioInputs.size()) ||
      numOuts != static_cast<int32>(audioOutputs.size()))
    return kResultFalse;
  if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return kInvalidArgument;
  for (int32 i = 0; i < numIns; ++i)
    getAudioInput(i)->setArrangement(inputs[i]);
  for (int32 i = 0; i < numOuts; ++i)
    getAudioOutput(i)->setArrangement(outputs[i]);
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index,
                                                            SpeakerArrangement& arr)
{
  AudioBus* bus = dir == kInput ? getAudioInput(index) : getAudioOutput(index);
  if (!bus) return kInvalidArgument;
  arr = bus->getArrangement();
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 ? kResultOk : kResultFalse;
}

uint32 PLUGIN_API SingleComponentEffect::getLatencySamples()
{
  return 0;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup)
{
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultOk) return kResultFalse;
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool)
{
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::process(ProcessData&)
{
  return kNotImplemented;
}

uint32 PLUGIN_API SingleComponentEffect::getTailSamples()
{
  return kNoTail;
}

static Bus* AppendBus(BusList& list, Bus* bus)
{
  list.emplace_back(owned(bus));
  return bus;
}

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arr,
                                               BusType busType, int32 flags)
{
  return static_cast<AudioBus*>(AppendBus(audioInputs, new AudioBus(name, busType, flags, arr)));
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr,
                                                BusType busType, int32 flags)
{
  return static_cast<AudioBus*>(AppendBus(audioOutputs, new AudioBus(name, busType, flags, arr)));
}

EventBus* SingleComponentEffect::addEventInput(const TChar* name, int32 channels, BusType busType,
                                               int32 flags)
{
  return static_cast<EventBus*>(
      AppendBus(eventInputs, new EventBus(name, busType, flags, channels)));
}

static AudioBus* AudioBusAt(BusList& list, int32 index)
{
  if (index < 0 || index >= static_cast<int32>(list.size())) return nullptr;
  return FCast<AudioBus>(list[static_cast<size_t>(index)].get());
}

AudioBus* SingleComponentEffect::getAudioInput(int32 index)
{
  return AudioBusAt(audioInputs, index);
}

AudioBus* SingleComponentEffect::getAudioOutput(int32 index)
{
  return AudioBusAt(audioOutputs, index);
}

void SingleComponentEffect::removeAudioBusses()
{
  audioInputs.clear();
  audioOutputs.clear();
}

void SingleComponentEffect::removeEventBusses()
{
  eventInputs.clear();
  eventOutputs.clear();
}

void SingleComponentEffect::removeAllBusses()
{
  removeAudioBusses();
  removeEventBusses();
}

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir)
{
  if (type == kAudio)
    return dir == kInput ? &audioInputs : dir == kOutput ? &audioOutputs : nullptr;
  if (type == kEvent)
    return dir == kInput ? &eventInputs : dir == kOutput ? &eventOutputs : nullptr;
  return nullptr;
}

} // namespace Vst
} // namespace Steinberg
