#include "engine_params.h"

#include <cmath>

namespace
{
constexpr EngineParamRange kParamRanges[kEngineNumParams] = {
    {"BassAmpLevel", 0.0, 1.0, 1.0},
    {"BassEnvAttack", 0.0, 1.0, 0.0},
    {"BassEnvDecay", 0.0, 1.0, 0.5},
    {"BassPitchAmt", 0.0, 1.0, 0.0},
    {"HostBarStartPulse", 0.0, 1.0, 0.0},
    {"HostTempoBpm", 0.0, 1000.0, 120.0},
    {"HostTransportIsRunning", 0.0, 1.0, 0.0},
    {"MainVolume", 0.0, 1.0, 0.8},
    {"MidiChannelInput", 1.0, 1.0, 1.0},
    {"PresetBackward", 0.0, 1.0, 0.0},
    {"PresetForward", 0.0, 1.0, 0.0},
    {"PresetLoad", 0.0, 1.0, 0.0},
    {"PresetSave", 0.0, 1.0, 0.0},
    {"PresetSelector", -1.0, 10000.0, 0.0},
    {"ReverbOffOn", 0.0, 1.0, 0.0},
    {"SnapAmpLevel", 0.0, 1.0, 1.0},
    {"SnapEnvDecay", 0.0, 1.0, 0.0},
    {"SnapPitchAmt", 0.0, 1.0, 0.0},
    {"TransistorDistLoad", 0.0, 1.0, 0.0},
    {"VelAmpOffOn", 0.0, 1.0, 0.0},
    {"Voice00_NoteGate", 0.0, 1.0, 0.0},
    {"Voice00_NoteNumber", 0.0, 127.0, 64.0},
    {"Voice00_NoteRetrig", 0.0, 1.0, 0.0},
    {"Voice00_NoteVelocity", 0.0, 127.0, 64.0},
    {"VoiceModeMonoPoly", 0.0, 0.0, 0.0},
    {"VoiceRetrigOffOn", 1.0, 1.0, 1.0},
    {"zInitParams", 0.0, 1.0, 0.0},
};
} // namespace

const EngineParamRange& EngineParamRangeAt(int index)
{
  return kParamRanges[index];
}

double LimitParamValue(int index, double value)
{
  const EngineParamRange& range = kParamRanges[index];
  if (std::isnan(value) || value < range.min) return range.min;
  if (value > range.max) return range.max;
  return value;
}

EngineParamInfo MakeEngineParamInfo(int index)
{
  const EngineParamRange& range = kParamRanges[index];
  EngineParamInfo info{};
  info.defaultValue = range.resetValue;
  info.defaultRef = nullptr;
  info.hasInputRange = 0;
  info.hasOutputRange = 1;
  info.inputMin = 0.0;
  info.inputMax = 1.0;
  info.outputMin = range.min;
  info.outputMax = range.max;
  info.name = range.name;
  info.units = "";
  info.type = 0;
  info.exponent = 0.0;
  return info;
}
