// clap.params: the base's parameters with their ids, plain ranges, editor
// texts and sections, and the flush hosts call when they do not process.

#include "iplug_clap.h"

#include "param_text.h"

#include <cmath>

namespace
{
const IPlugParam* ParamById(const clap_plugin_t* plugin, clap_id id)
{
  return id <= 0x7FFFFFFF ? IPlugCLAP::From(plugin)->GetParam(static_cast<int>(id)) : nullptr;
}

uint32_t ParamsCount(const clap_plugin_t* plugin)
{
  return static_cast<uint32_t>(IPlugCLAP::From(plugin)->ParamCount());
}

bool ParamsInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info)
{
  const IPlugParam* param = ParamById(plugin, index);
  if (!param || !info) return false;
  *info = clap_param_info_t{};
  info->id = index;
  info->flags = (param->CanAutomate() ? kClapParamIsAutomatable : 0u) |
                (param->IsSwitch() || param->Type() == TypeInt || param->Type() == TypeEnum
                     ? kClapParamIsStepped
                     : 0u);
  info->cookie = nullptr;
  CopyTextToHost(info->name, param->Name(), sizeof(info->name));
  CopyTextToHost(info->module, IPlugCLAP::From(plugin)->ParamSection(static_cast<int>(index)),
                 sizeof(info->module));
  info->min_value = param->Min();
  info->max_value = param->Max();
  info->default_value = param->Default();
  return true;
}

bool ParamsValue(const clap_plugin_t* plugin, clap_id id, double* value)
{
  const IPlugParam* param = ParamById(plugin, id);
  if (!param || !value) return false;
  CriticalSectionLock lock(IPlugCLAP::From(plugin)->GetLock());
  *value = param->Value();
  return true;
}

bool ParamsValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* text,
                       uint32_t capacity)
{
  const IPlugParam* param = ParamById(plugin, id);
  if (!param || !text || capacity == 0 || !std::isfinite(value)) return false;
  char formatted[kParamTextCapacity];
  param->FormatForHost(value, false, formatted, sizeof(formatted), true);
  CopyTextToHost(text, formatted, capacity);
  return true;
}

bool ParamsTextToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value)
{
  const IPlugParam* param = ParamById(plugin, id);
  double parsed = 0.0;
  if (!param || !value || !ParamValueFromText(*param, text, parsed) || !std::isfinite(parsed))
    return false;
  *value = std::fmin(std::fmax(parsed, param->Min()), param->Max());
  return true;
}

void ParamsFlush(const clap_plugin_t* plugin, const clap_input_events_t* in,
                 const clap_output_events_t* out)
{
  IPlugCLAP* self = IPlugCLAP::From(plugin);
  bool valuesChanged = false;
  {
    CriticalSectionLock lock(self->GetLock());
    self->ApplyParamEvents(in);
    valuesChanged = self->PushOutputEvents(out);
  }
  if (valuesChanged) self->RequestRescan();
}
} // namespace

const clap_plugin_params_t IPlugCLAP::kParamsExtension = {
    ParamsCount, ParamsInfo, ParamsValue, ParamsValueToText, ParamsTextToValue, ParamsFlush};
