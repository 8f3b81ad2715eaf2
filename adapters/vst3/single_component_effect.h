#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

// Kept in the SDK's namespace: this class stands in for the SDK class of the
// same name, which the SDK sources available to us leave out.
namespace Steinberg
{
namespace Vst
{

// One object that is component, audio processor and edit controller at once.
// Hosts that find IAudioProcessor and IEditController on the same instance use
// it for both roles, so no separate controller class and no connection between
// the two halves are needed. Derived classes build their buses with the add
// helpers and their parameters in the inherited container, usually in
// initialize.
//
// Thread contract: the IComponent and IEditController methods come from the
// host's user-interface thread, process from its audio thread; this class
// takes no lock, derived classes serialize what they share.
class SingleComponentEffect : public EditControllerEx1, public IComponent, public IAudioProcessor
{
public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // IPluginBase, shared by the component and the controller. A second
  // initialize before terminate answers kResultFalse, with or without a host
  // context; terminate removes every bus and parameter.
  tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
  tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  // IComponent. There is no separate controller class and no I/O mode.
  tresult PLUGIN_API getControllerClassId(TUID classId) SMTG_OVERRIDE;
  tresult PLUGIN_API setIoMode(IoMode mode) SMTG_OVERRIDE;
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index,
                                BusInfo& bus) SMTG_OVERRIDE;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index,
                                 TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;

  // IComponent and IEditController share these two signatures, so one method
  // answers both: the state of a single-component effect is saved once.
  tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE;
  tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE;

  // IEditController: the component state is this object's own state.
  tresult PLUGIN_API setComponentState(IBStream* state) SMTG_OVERRIDE;

  // The SDK's versions index their lists with at(), which throws for an
  // index a host got wrong; these answer kInvalidArgument instead.
  tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
  tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) SMTG_OVERRIDE;

  // IAudioProcessor. The default accepts any arrangement list whose counts
  // match the audio buses and stores it on them.
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                        SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index,
                                       SpeakerArrangement& arr) SMTG_OVERRIDE;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
  uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
  tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;
  uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

  OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
  DEFINE_INTERFACES
  DEF_INTERFACE(IComponent)
  DEF_INTERFACE(IAudioProcessor)
  END_DEFINE_INTERFACES(EditControllerEx1)
  REFCOUNT_METHODS(EditControllerEx1)

protected:
  AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);

  // The audio bus at index of the list, or null.
  AudioBus* getAudioInput(int32 index);
  AudioBus* getAudioOutput(int32 index);

  void removeAudioBusses();
  void removeEventBusses();
  void removeAllBusses();

  // The list for a media type and direction, or null for an unknown pair.
  BusList* getBusList(MediaType type, BusDirection dir);

  BusList audioInputs;
  BusList audioOutputs;
  BusList eventInputs;
  BusList eventOutputs;

  // The set-up of the last accepted setupProcessing.
  ProcessSetup processSetup;

private:
  bool initialized = false;
};

} // namespace Vst
} // namespace Steinberg
