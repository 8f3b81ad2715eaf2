// Construction, initialization (host identity, buses, parameters) and the
// host-facing operations of the plugin base.

#include "iplug_vst3.h"

#include "host_identify.h"
#include "iplug_vst3_view.h"
#include "vst3_strings.h"

#include "graphics.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "public.sdk/source/vst/vstparameters.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

SpeakerArrangement SpeakerArrangementForChannels(int channels)
{
  switch (channels)
  {
  case 1:
    return 0x80000;
  case 2:
    return 0x3;
  case 3:
    return 0x103;
  case 4:
    return 0xF00000;
  case 5:
    return 0x37;
  case 6:
    return 0x3F;
  default:
    return 0;
  }
}

IPlugVST3::IPlugVST3(FUnknown*, int nParams, const char* channelIO, int nPresets,
                     const char* effectName, const char* productName, const char* makerName,
                     int32_t version, int32_t uniqueID, int32_t makerID, bool doesMidi,
                     bool doesStateChunks, bool isInstrument)
    : IPlugBase(nParams, channelIO, nPresets, effectName, productName, makerName, version, uniqueID,
                makerID, doesMidi, doesStateChunks, isInstrument, kApiVST3)
{
  InputBusNames().push_back("Main Input");
  if (isInstrument)
  {
    for (int pair = 0; pair < OutChannelCount() / 2; ++pair)
    {
      char name[32];
      std::snprintf(name, sizeof(name), "Output %i", pair + 1);
      OutputBusNames().push_back(name);
    }
  }
  else
  {
    OutputBusNames().push_back("Output");
  }
  for (int i = 0; i < InChannelCount(); ++i)
    SetInputConnected(i, true);
  for (int i = 0; i < OutChannelCount(); ++i)
    SetOutputConnected(i, true);
  if (InChannelCount() > 0) CreateLatencyDelayLine();
  // Hosts that send no process context still get a usable tempo and metre.
  mProcessContext.tempo = 120.0;
  mProcessContext.timeSigNumerator = 4;
  mProcessContext.timeSigDenominator = 4;
}

IPlugVST3::~IPlugVST3() = default;

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context)
{
  // A host that initializes twice must not lose the sound it has set up, so
  // the second call changes nothing.
  const tresult result = SingleComponentEffect::initialize(context);
  if (result != kResultOk) return result;
  // Building buses, parameters and units allocates. Running out of memory
  // must reach the host as a result, not an exception, and leave nothing
  // half built.
  try
  {
    IdentifyHostFrom(context);
    BuildBuses();
    BuildParameters();
    AfterHostIdentified();
    ApplyPreset(0);
  }
  catch (...)
  {
    terminate();
    return kOutOfMemory;
  }
  SendPendingHostNotifications();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::terminate()
{
  removeAllBusses();
  parameters.removeAll();
  ParamGroupNames().clear();
  return SingleComponentEffect::terminate();
}

void IPlugVST3::IdentifyHostFrom(FUnknown* context)
{
  FUnknownPtr<IHostApplication> app(context);
  if (!app) return;
  String128 name{};
  if (app->getName(name) != kResultOk) return;
  char narrow[128];
  NarrowFromString128(name, narrow, sizeof(narrow));
  SetHostIdentity(IdentifyHost(narrow), 0);
}

void IPlugVST3::BuildBuses()
{
  String128 name;
  const int mainInputs = InChannelCount();
  if (mainInputs >= 1 && mainInputs <= 6)
  {
    WidenToString128(InputBusNames()[0].c_str(), name);
    addAudioInput(name, SpeakerArrangementForChannels(mainInputs));
  }
  if (IsInstrument())
  {
    for (int pair = 0; pair < OutChannelCount() / 2; ++pair)
    {
      WidenToString128(OutputBusNames()[static_cast<size_t>(pair)].c_str(), name);
      addAudioOutput(name, SpeakerArr::kStereo);
    }
  }
  else
  {
    WidenToString128("Output", name);
    addAudioOutput(name, SpeakerArrangementForChannels(OutChannelCount()));
  }
  if (DoesMidi()) addEventInput(STR16("MIDI Input"), 1);
}

UnitID IPlugVST3::UnitOfGroup(const char* group)
{
  if (!group || !*group) return kRootUnitId;
  std::vector<std::string>& groups = ParamGroupNames();
  auto found = std::find(groups.begin(), groups.end(), group);
  if (found == groups.end()) found = groups.insert(groups.end(), group);
  return static_cast<UnitID>(found - groups.begin()) + 1;
}

void IPlugVST3::BuildParameters()
{
  ParamGroupNames().clear();
  if (PresetCount() > 0)
  {
    // A list of the preset names, which hosts show in their program box.
    auto* programs = new StringListParameter(
        STR16("Preset"), kPresetParamId, nullptr,
        ParameterInfo::kIsProgramChange | ParameterInfo::kIsList, kRootUnitId);
    String128 name;
    for (int i = 0; i < PresetCount(); ++i)
    {
      WidenToString128(GetPresetName(i), name);
      programs->appendString(name);
    }
    parameters.addParameter(programs);
  }
  if (!IsInstrument())
  {
    auto* bypass = new StringListParameter(STR16("Bypass"), kBypassParamId, nullptr,
                                           ParameterInfo::kCanAutomate | ParameterInfo::kIsList |
                                               ParameterInfo::kIsBypass,
                                           kRootUnitId);
    bypass->appendString(STR16("off"));
    bypass->appendString(STR16("on"));
    parameters.addParameter(bypass);
  }
  String128 title;
  String128 label;
  for (int i = 0; i < ParamCount(); ++i)
  {
    const IPlugParam* param = GetParam(i);
    const UnitID unit = UnitOfGroup(param->Group());
    WidenToString128(param->Name(), title);
    WidenToString128(param->LabelForHost(), label);
    const int32 automate = param->CanAutomate() ? ParameterInfo::kCanAutomate : 0;
    const ParamID id = static_cast<ParamID>(i);
    if (param->Type() == TypeBool || param->Type() == TypeEnum)
    {
      auto* list =
          new StringListParameter(title, id, label, ParameterInfo::kIsList | automate, unit);
      String128 text;
      for (int value = 0; value < param->DisplayTextCount(); ++value)
      {
        WidenToString128(param->DisplayTextFor(value), text);
        list->appendString(text);
      }
      parameters.addParameter(list);
    }
    else
    {
      auto* range = new RangeParameter(title, id, label, param->Min(), param->Max(),
                                       param->Default(), 0, automate, unit);
      range->setPrecision(param->DisplayPrecision());
      parameters.addParameter(range);
    }
  }
}

tresult PLUGIN_API IPlugVST3::setActive(TBool state)
{
  OnActivate(state != 0);
  return kResultOk;
}

IGraphics* IPlugVST3::Graphics() const
{
  return dynamic_cast<IGraphics*>(GetEditor());
}

void IPlugVST3::AddView(IPlugVST3View* view)
{
  mViews.push_back(view);
}

void IPlugVST3::RemoveView(IPlugVST3View* view)
{
  mViews.erase(std::remove(mViews.begin(), mViews.end(), view), mViews.end());
}

void IPlugVST3::BeginParamGesture(int paramIdx)
{
  beginEdit(static_cast<ParamID>(paramIdx));
}

void IPlugVST3::NotifyHostParamValue(int paramIdx, double normalized)
{
  performEdit(static_cast<ParamID>(paramIdx), normalized);
}

void IPlugVST3::EndParamGesture(int paramIdx)
{
  endEdit(static_cast<ParamID>(paramIdx));
}

void IPlugVST3::NotifyHostPresetChange()
{
  if (componentHandler) componentHandler->restartComponent(kParamValuesChanged);
}

int IPlugVST3::PresetIndexFromNormalized(ParamValue value) const
{
  const int last = PresetCount() - 1;
  if (last <= 0 || !(value > 0.0)) return 0;
  return std::min(last, static_cast<int>(value * last + 0.5));
}

ParamValue IPlugVST3::NormalizedFromPresetIndex(int presetIdx) const
{
  const int last = PresetCount() - 1;
  return last > 0 ? static_cast<ParamValue>(presetIdx) / last : 0.0;
}

bool IPlugVST3::IsOfflineRender()
{
  return processSetup.processMode == kOffline;
}

int IPlugVST3::GetSamplePosition()
{
  return static_cast<int>(mProcessContext.projectTimeSamples);
}

double IPlugVST3::GetTempo()
{
  return mProcessContext.tempo;
}

void IPlugVST3::GetTimeSignature(int& numerator, int& denominator)
{
  numerator = mProcessContext.timeSigNumerator;
  denominator = mProcessContext.timeSigDenominator;
}

void IPlugVST3::QueryTransport(ITransportInfo& info)
{
  info.mTempo = mProcessContext.tempo;
  info.mSamplePos = static_cast<double>(mProcessContext.projectTimeSamples);
  info.mPPQPos = mProcessContext.projectTimeMusic;
  info.mLastBar = mProcessContext.barPositionMusic;
  info.mCycleStart = mProcessContext.cycleStartMusic;
  info.mCycleEnd = mProcessContext.cycleEndMusic;
  info.mNumerator = mProcessContext.timeSigNumerator;
  info.mDenominator = mProcessContext.timeSigDenominator;
  info.mTransportRunning = (mProcessContext.state & ProcessContext::kPlaying) != 0;
  info.mLoopEnabled = (mProcessContext.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3::ResizeEditor(int width, int height)
{
  if (GetEditor() && !mViews.empty()) mViews.front()->RequestResize(width, height);
}

void IPlugVST3::SetLatency(int frames)
{
  IPlugBase::SetLatency(frames);
  if (componentHandler) componentHandler->restartComponent(kLatencyChanged);
}

void IPlugVST3::ShowHostParamMenu(int paramIdx, int x, int y)
{
  if (!componentHandler || mViews.empty()) return;
  FUnknownPtr<IComponentHandler3> handler(componentHandler);
  if (!handler) return;
  const ParamID id = static_cast<ParamID>(paramIdx);
  IContextMenu* menu = handler->createContextMenu(mViews.front(), &id);
  if (!menu) return;
  menu->popup(x, y);
  menu->release();
}
