#pragma once

#include <cstdint>

// The host's musical time at the start of the current block. The caller
// fills it with its own fallbacks; an adapter overwrites only what its host
// reports. The defaults are what a host without a timeline would mean.
struct ITransportInfo
{
  double mTempo = 120.0;    // beats per minute
  double mSamplePos = 0.0;  // samples since the start of the timeline
  double mPPQPos = 0.0;     // quarter notes since the start of the timeline
  double mLastBar = 0.0;    // start of the current bar, in quarter notes
  double mCycleStart = 0.0; // loop start, in quarter notes
  double mCycleEnd = 0.0;   // loop end, in quarter notes
  int32_t mNumerator = 4;
  int32_t mDenominator = 4;
  bool mTransportRunning = false;
  bool mLoopEnabled = false;
};
