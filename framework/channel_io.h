#pragma once

#include <string>
#include <vector>

// One legal channel configuration.
struct ChannelIO
{
  int mInputs = 0;
  int mOutputs = 0;
};

// Parses configurations written "inputs-outputs", separated by single
// spaces ("1-1 2-2"). Every word gives one pair; a count that does not parse
// is 0. Null is read as "".
std::vector<ChannelIO> ParseChannelIO(const char* text);

// True when some configuration matches both counts; a negative count
// matches any.
bool MatchesChannelIO(const std::vector<ChannelIO>& configurations, int inputs, int outputs);

// An audio input of the plug-in. Unconnected channels read their own
// scratch buffer; connected ones are attached to host buffers for one block.
struct InChannel
{
  bool mConnected = false;
  std::vector<double> mScratch; // block-size long
  const float* mHostSingle = nullptr;
  double* mHostDouble = nullptr;
  std::string mLabel;
};

// An audio output of the plug-in. Unconnected channels write into their own
// scratch buffer, where no host sees the samples.
struct OutChannel
{
  bool mConnected = false;
  std::vector<double> mScratch; // block-size long
  float* mHostSingle = nullptr;
  double* mHostDouble = nullptr;
  std::string mLabel;
};
