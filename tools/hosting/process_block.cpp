#include "process_block.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

ProcessBlock::ProcessBlock(int32 symbolicSampleSize, std::vector<int> inputChannels,
                           std::vector<int> outputChannels, int maxFrames)
    : mSampleSize(symbolicSampleSize), mMaxFrames(maxFrames), mChanges(owned(new ParameterChanges)),
      mEvents(owned(new EventList))
{
  Prepare(mInputs, inputChannels, mInputBuffers);
  Prepare(mOutputs, outputChannels, mOutputBuffers);
  mContext.sampleRate = 44100.0;
  mContext.tempo = 120.0;
  mContext.timeSigNumerator = 4;
  mContext.timeSigDenominator = 4;
}

void ProcessBlock::Prepare(std::vector<Bus>& buses, const std::vector<int>& channels,
                           std::vector<AudioBusBuffers>& buffers)
{
  buses.resize(channels.size());
  buffers.resize(channels.size());
  for (size_t b = 0; b < channels.size(); ++b)
  {
    Bus& bus = buses[b];
    const size_t count = static_cast<size_t>(channels[b]);
    bus.single.assign(count, std::vector<float>(static_cast<size_t>(mMaxFrames), 0.0f));
    bus.doubles.assign(count, std::vector<double>(static_cast<size_t>(mMaxFrames), 0.0));
    for (size_t c = 0; c < count; ++c)
    {
      bus.singlePointers.push_back(bus.single[c].data());
      bus.doublePointers.push_back(bus.doubles[c].data());
    }
    buffers[b].numChannels = static_cast<int32>(count);
    buffers[b].silenceFlags = 0;
    if (mSampleSize == kSample64)
      buffers[b].channelBuffers64 = count ? bus.doublePointers.data() : nullptr;
    else
      buffers[b].channelBuffers32 = count ? bus.singlePointers.data() : nullptr;
  }
}

ProcessData& ProcessBlock::Data(int numSamples, double fillValue)
{
  for (Bus& bus : mOutputs)
  {
    for (auto& channel : bus.single)
      channel.assign(channel.size(), static_cast<float>(fillValue));
    for (auto& channel : bus.doubles)
      channel.assign(channel.size(), fillValue);
  }
  mData = ProcessData{};
  mData.processMode = processMode;
  mData.symbolicSampleSize = mSampleSize;
  mData.numSamples = numSamples;
  mData.numInputs = static_cast<int32>(mInputBuffers.size());
  mData.numOutputs = static_cast<int32>(mOutputBuffers.size());
  mData.inputs = mInputBuffers.empty() ? nullptr : mInputBuffers.data();
  mData.outputs = mOutputBuffers.empty() ? nullptr : mOutputBuffers.data();
  mData.inputParameterChanges = mChanges;
  mData.inputEvents = mEvents;
  mData.processContext = sendContext ? &mContext : nullptr;
  return mData;
}

double ProcessBlock::Output(int bus, int channel, int frame) const
{
  const Bus& b = mOutputs[static_cast<size_t>(bus)];
  if (mSampleSize == kSample64)
    return b.doubles[static_cast<size_t>(channel)][static_cast<size_t>(frame)];
  return b.single[static_cast<size_t>(channel)][static_cast<size_t>(frame)];
}

std::vector<double> ProcessBlock::OutputChannel(int bus, int channel, int frames) const
{
  std::vector<double> samples;
  for (int i = 0; i < frames; ++i)
    samples.push_back(Output(bus, channel, i));
  return samples;
}

void ProcessBlock::SetInput(int bus, int channel, int frame, double value)
{
  Bus& b = mInputs[static_cast<size_t>(bus)];
  b.single[static_cast<size_t>(channel)][static_cast<size_t>(frame)] = static_cast<float>(value);
  b.doubles[static_cast<size_t>(channel)][static_cast<size_t>(frame)] = value;
}
