#pragma once

#include "plug_base.h"
#include "single_component_effect.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <vector>

class IGraphics;
class IPlugVST3View;

// Binds the plugin base to a VST 3 host as a single-component effect: one
// object is audio processor, edit controller and unit information at once.
// The instrument derives from it in the VST 3 build; the module's factory
// creates it.
//
// Threads: process runs on the host's audio thread and holds the instance
// lock for the whole call; it allocates nothing. The component and
// controller methods come from the host's user-interface thread; getState,
// setState, setupProcessing and setParamNormalized take the instance lock
// (the state streams are read and written outside it), the parameter
// queries do not. The host is never called back with the lock held.
class IPlugVST3 : public IPlugBase,
                  public Steinberg::Vst::SingleComponentEffect,
                  public Steinberg::Vst::IProcessContextRequirements
{
public:
  // Parameter identifiers besides the parameter indices.
  static constexpr Steinberg::Vst::ParamID kPresetParamId = 0x70727374; // 'prst'
  static constexpr Steinberg::Vst::ParamID kBypassParamId = 0x62706173; // 'bpas'

  // Constructs the base (API kApiVST3), names the buses, marks every channel
  // connected and, with audio inputs, creates the latency delay line.
  // Throws std::bad_alloc when memory runs out (the factory then answers no
  // instance). The factory's host context is not needed here: the host
  // hands its context to initialize.
  IPlugVST3(Steinberg::FUnknown* factoryHostContext, int nParams, const char* channelIO,
            int nPresets, const char* effectName, const char* productName, const char* makerName,
            int32_t version, int32_t uniqueID, int32_t makerID, bool doesMidi, bool doesStateChunks,
            bool isInstrument);
  ~IPlugVST3() override;

  // IPluginBase. The first initialize identifies the host, builds buses,
  // parameters and units and selects preset 0; a second one without
  // terminate answers kResultFalse and changes nothing.
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  // IComponent.
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) SMTG_OVERRIDE;
  // The state: the state chunk, then the bypass flag as a little-endian
  // int32. The component and the controller share these two methods.
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) SMTG_OVERRIDE;

  // IAudioProcessor (iplug_vst3_process.cpp).
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize)
      SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
  // Refuses (kResultFalse, keeping the previous set-up) an unknown sample
  // size, a sample rate that is not a positive number and a block size
  // below 1.
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
  // Audio thread. Always kResultOk. Marks each output channel written with
  // nothing but zeros in its bus's silence flags.
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

  // IProcessContextRequirements: what the time queries of the base read.
  Steinberg::uint32 PLUGIN_API getProcessContextRequirements() SMTG_OVERRIDE;

  // IEditController (iplug_vst3_controller.cpp).
  Steinberg::tresult PLUGIN_API
  getParamStringByValue(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue valueNormalized,
                        Steinberg::Vst::String128 string) SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(
      Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue plainValue) SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id)
      SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                   Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
  // A new view for "editor", with one reference for the caller; else null.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) SMTG_OVERRIDE;

  // IUnitInfo: the root unit and one unit per parameter group.
  Steinberg::int32 PLUGIN_API getUnitCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex,
                                            Steinberg::Vst::UnitInfo& info) SMTG_OVERRIDE;
  Steinberg::int32 PLUGIN_API getProgramListCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramListInfo(
      Steinberg::int32 listIndex, Steinberg::Vst::ProgramListInfo& info) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId,
                                               Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramInfo(
      Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
      Steinberg::Vst::CString attributeId, Steinberg::Vst::String128 attributeValue) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                     Steinberg::int32 programIndex) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId,
                                                    Steinberg::int32 programIndex,
                                                    Steinberg::int16 midiPitch,
                                                    Steinberg::Vst::String128 name) SMTG_OVERRIDE;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type,
                                             Steinberg::Vst::BusDirection dir,
                                             Steinberg::int32 busIndex, Steinberg::int32 channel,
                                             Steinberg::Vst::UnitID& unitId) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId,
                                                   Steinberg::int32 programIndex,
                                                   Steinberg::IBStream* data) SMTG_OVERRIDE;

  // Host-facing operations of the base.
  void BeginParamGesture(int paramIdx) override;
  void NotifyHostParamValue(int paramIdx, double normalized) override;
  void EndParamGesture(int paramIdx) override;
  // restartComponent (kParamValuesChanged); user-interface thread.
  void NotifyHostPresetChange() override;
  bool IsOfflineRender() override;
  // Audio thread: answered from the process context of the last block.
  int GetSamplePosition() override;
  double GetTempo() override;
  void GetTimeSignature(int& numerator, int& denominator) override;
  void QueryTransport(ITransportInfo& info) override;
  // Asks the host frame of the first open view for the new size.
  void ResizeEditor(int width, int height) override;
  void SetLatency(int frames) override;
  bool SendMidiEvent(const IMidiEvent&) override { return false; }
  // Asks the host for its context menu of the parameter in the first view.
  void ShowHostParamMenu(int paramIdx, int x, int y) override;

  // The program-change parameter is a list of the presets: index i is
  // i / (count - 1), and values between pick the nearest.
  int PresetIndexFromNormalized(Steinberg::Vst::ParamValue value) const;
  Steinberg::Vst::ParamValue NormalizedFromPresetIndex(int presetIdx) const;

  // The attached editor as the editor framework's class, or null.
  IGraphics* Graphics() const;

  OBJ_METHODS(IPlugVST3, SingleComponentEffect)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IUnitInfo)
  DEF_INTERFACE(Steinberg::Vst::IProcessContextRequirements)
  END_DEFINE_INTERFACES(SingleComponentEffect)
  REFCOUNT_METHODS(SingleComponentEffect)

private:
  friend class IPlugVST3View;
  void AddView(IPlugVST3View* view);
  void RemoveView(IPlugVST3View* view);

  // initialize's parts.
  void IdentifyHostFrom(Steinberg::FUnknown* context);
  void BuildBuses();
  void BuildParameters();
  Steinberg::Vst::UnitID UnitOfGroup(const char* group);

  // process's parts, lock held (iplug_vst3_process.cpp).
  void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes);
  void ApplyParameterChange(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);
  void HandleNoteEvents(Steinberg::Vst::IEventList* events);
  // Lock held. Leaving the bypass resets the plug-in, so that nothing queued
  // before or during it plays afterwards.
  void SetBypassState(bool bypassed);
  void ConnectInputs(const Steinberg::Vst::ProcessData& data);
  void ConnectOutputs(Steinberg::Vst::ProcessData& data);
  void FlagSilentOutputs(Steinberg::Vst::ProcessData& data);
  // Calls function (bus buffers, first channel, channels written) for every
  // output bus whose host buffers take channels of the plug-in.
  template <typename BusFunction>
  void ForEachWrittenOutputBus(Steinberg::Vst::ProcessData& data, BusFunction function);

  Steinberg::Vst::ProcessContext mProcessContext{};
  std::vector<IPlugVST3View*> mViews;
};

// The VST 3 bit mask for a channel count: mono, stereo and the usual
// surround sets for 3 to 6 channels; 0 (empty) for any other count.
Steinberg::Vst::SpeakerArrangement SpeakerArrangementForChannels(int channels);
