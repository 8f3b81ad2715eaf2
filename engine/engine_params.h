#pragma once

// The fixed parameter table: names, ranges and reset values.

#include "kick_engine.h"
#include "numeric_guards.h"

struct EngineParamRange
{
  const char* name;
  double min;
  double max;
  double resetValue;
};

const EngineParamRange& EngineParamRangeAt(int index);

// Limits a value to the parameter's range. NaN is never stored: it counts as
// the minimum, the neutral end of every control.
double LimitParamValue(int index, double value);

// A parameter of `params` limited to [0, 1], as the sound chain reads it.
inline double UnitParam(const double* params, int index)
{
  return Clamp(params[index], 0.0, 1.0);
}

// The record a host sees for the parameter, built from its reset value.
EngineParamInfo MakeEngineParamInfo(int index);
