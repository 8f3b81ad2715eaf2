#pragma once

#include "event_list.h"
#include "parameter_changes.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <vector>

// Everything a host hands to one process call: audio buses with their
// channel buffers in the chosen sample size, parameter changes, events and
// the process context. The buffers are allocated once; Data() fills the
// ProcessData for a block and may be called again for the next one.
class ProcessBlock
{
public:
  ProcessBlock(Steinberg::int32 symbolicSampleSize, std::vector<int> inputChannels,
               std::vector<int> outputChannels, int maxFrames);

  // The ProcessData for numSamples frames; parameter changes, events and
  // context are attached when present. Output buffers are filled with
  // fillValue first, so untouched samples show.
  Steinberg::Vst::ProcessData& Data(int numSamples, double fillValue = 0.0);

  // Sample access in double precision, whatever the sample size.
  double Output(int bus, int channel, int frame) const;
  void SetInput(int bus, int channel, int frame, double value);
  std::vector<double> OutputChannel(int bus, int channel, int frames) const;

  ParameterChanges& Changes() { return *mChanges; }
  EventList& Events() { return *mEvents; }
  Steinberg::Vst::ProcessContext& Context() { return mContext; }
  bool sendContext = true;
  Steinberg::int32 processMode = Steinberg::Vst::kRealtime;

private:
  struct Bus
  {
    std::vector<std::vector<float>> single;
    std::vector<std::vector<double>> doubles;
    std::vector<float*> singlePointers;
    std::vector<double*> doublePointers;
  };
  void Prepare(std::vector<Bus>& buses, const std::vector<int>& channels,
               std::vector<Steinberg::Vst::AudioBusBuffers>& buffers);

  Steinberg::int32 mSampleSize;
  int mMaxFrames;
  std::vector<Bus> mInputs;
  std::vector<Bus> mOutputs;
  std::vector<Steinberg::Vst::AudioBusBuffers> mInputBuffers;
  std::vector<Steinberg::Vst::AudioBusBuffers> mOutputBuffers;
  Steinberg::IPtr<ParameterChanges> mChanges;
  Steinberg::IPtr<EventList> mEvents;
  Steinberg::Vst::ProcessContext mContext{};
  Steinberg::Vst::ProcessData mData;
};
