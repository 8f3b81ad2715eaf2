// The edit-controller and unit-information side: parameter queries, views,
// units and the preset list.

#include "iplug_vst3.h"

#include "iplug_vst3_view.h"
#include "param_text.h"
#include "vst3_strings.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

// Parameter ids above the int range are no parameter index either.
static int ParamIndexOf(ParamID id)
{
  return id <= 0x7FFFFFFF ? static_cast<int>(id) : -1;
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                    String128 string)
{
  if (id == kPresetParamId && string && PresetCount() > 0)
  {
    WidenToString128(GetPresetName(PresetIndexFromNormalized(valueNormalized)), string);
    return kResultOk;
  }
  const IPlugParam* param = GetParam(ParamIndexOf(id));
  if (!param || !string) return kResultFalse;
  char text[kParamTextCapacity];
  param->FormatForHost(valueNormalized, true, text, sizeof(text), true);
  WidenToString128(text, string);
  return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plainValue)
{
  const IPlugParam* param = GetParam(ParamIndexOf(id));
  return param ? param->ToNormalized(plainValue) : plainValue;
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id)
{
  if (id == kBypassParamId) return IsBypassed() ? 1.0 : 0.0;
  if (id == kPresetParamId) return NormalizedFromPresetIndex(GetCurrentPresetIdx());
  const IPlugParam* param = GetParam(ParamIndexOf(id));
  return param ? param->ToNormalized(param->Value()) : 0.0;
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value)
{
  // The lock keeps the value from changing under a block being rendered.
  CriticalSectionLock lock(GetLock());
  IPlugParam* param = GetParam(ParamIndexOf(id));
  if (!param) return kResultFalse;
  param->SetFromNormalized(value);
  return kResultOk;
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name)
{
  if (!name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  // Running out of memory answers "no view", never an exception into the host.
  try
  {
    return new IPlugVST3View(this);
  }
  catch (...)
  {
    return nullptr;
  }
}

int32 PLUGIN_API IPlugVST3::getUnitCount()
{
  return static_cast<int32>(ParamGroupNames().size()) + 1;
}

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex < 0 || unitIndex >= getUnitCount()) return kResultFalse;
  info = UnitInfo{};
  info.programListId = kNoProgramListId;
  if (unitIndex == 0)
  {
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    WidenToString128("Root Unit", info.name);
  }
  else
  {
    info.id = unitIndex;
    info.parentUnitId = kRootUnitId;
    WidenToString128(ParamGroupNames()[static_cast<size_t>(unitIndex - 1)].c_str(), info.name);
  }
  return kResultOk;
}

int32 PLUGIN_API IPlugVST3::getProgramListCount()
{
  return 0;
}

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
  if (listIndex != 0) return kResultFalse;
  info = ProgramListInfo{};
  info.id = static_cast<ProgramListID>(kPresetParamId);
  WidenToString128("Factory Presets", info.name);
  info.programCount = PresetCount();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex,
                                             String128 name)
{
  if (listId != static_cast<ProgramListID>(kPresetParamId) || !name) return kResultFalse;
  WidenToString128(GetPresetName(programIndex), name);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128)
{
  return kNotImplemented;
}

UnitID PLUGIN_API IPlugVST3::getSelectedUnit()
{
  return kRootUnitId;
}

tresult PLUGIN_API IPlugVST3::selectUnit(UnitID)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*)
{
  return kNotImplemented;
}
