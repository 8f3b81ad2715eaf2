#pragma once

// The fixed parameter table: names, ranges and reset values.

#include "kick_engine.h"

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

// The record a host sees for the parameter, built from its reset value.
EngineParamInfo MakeEngineParamInfo(int index);
