#pragma once

#include <cmath>
#include <limits>

// Subnormal floats slow down the host's own processing and fail conformance
// checks; the double result keeps its tail, a single-precision copy of it
// (plug-in outputs, 32-bit sound files) drops it.
inline float ToSingleOutput(double value)
{
  return std::fabs(value) < static_cast<double>(std::numeric_limits<float>::min())
             ? 0.0f
             : static_cast<float>(value);
}
