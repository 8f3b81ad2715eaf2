// Channels, buffer plumbing, block size and latency of the plugin base.
#include "plug_base.h"
#include "single_output.h"

#include <algorithm>
#include <new>

template <typename Sample>
void IPlugBase::PassThrough(Sample* const* inputs, Sample* const* outputs, int frames) const
{
  if (!outputs || frames <= 0) return;
  const int shared = std::min(InChannelCount(), OutChannelCount());
  for (int i = 0; i < OutChannelCount(); ++i)
  {
    Sample* out = outputs[i];
    if (!out) continue;
    const Sample* in = (i < shared && inputs) ? inputs[i] : nullptr;
    if (!in)
      std::fill(out, out + frames, Sample(0));
    else if (in != out)
      std::copy(in, in + frames, out);
  }
}

void IPlugBase::ProcessDouble(double** inputs, double** outputs, int frames)
{
  PassThrough(inputs, outputs, frames);
}

void IPlugBase::ProcessSingle(float** inputs, float** outputs, int frames)
{
  PassThrough(inputs, outputs, frames);
}

void IPlugBase::SetBlockSize(int frames)
{
  CriticalSectionLock lock(mLock);
  if (frames == mBlockSize || frames < 0) return;
  // All buffers are made before any is replaced, so running out of memory
  // leaves the old, consistent set.
  std::vector<std::vector<double>> inScratch;
  std::vector<std::vector<double>> outScratch;
  try
  {
    inScratch.assign(mInChannels.size(), std::vector<double>(static_cast<size_t>(frames), 0.0));
    outScratch.assign(mOutChannels.size(), std::vector<double>(static_cast<size_t>(frames), 0.0));
  }
  catch (const std::bad_alloc&)
  {
    return;
  }
  for (size_t i = 0; i < mInChannels.size(); ++i)
    mInChannels[i].mScratch.swap(inScratch[i]);
  for (size_t i = 0; i < mOutChannels.size(); ++i)
    mOutChannels[i].mScratch.swap(outScratch[i]);
  mBlockSize = frames;
  DetachHostBuffers();
}

void IPlugBase::SetLatency(int frames)
{
  CriticalSectionLock lock(mLock);
  mLatency = std::max(frames, 0);
  if (mDelayLine) mDelayLine->SetLength(mLatency);
}

void IPlugBase::CreateLatencyDelayLine()
{
  CriticalSectionLock lock(mLock);
  mDelayLine = std::make_unique<LatencyDelayLine>(InChannelCount(), OutChannelCount());
  mDelayLine->SetLength(mLatency);
}

const InChannel* IPlugBase::GetInChannel(int channel) const
{
  return (channel >= 0 && channel < InChannelCount()) ? &mInChannels[static_cast<size_t>(channel)]
                                                      : nullptr;
}

const OutChannel* IPlugBase::GetOutChannel(int channel) const
{
  return (channel >= 0 && channel < OutChannelCount()) ? &mOutChannels[static_cast<size_t>(channel)]
                                                       : nullptr;
}

void IPlugBase::SetInputConnected(int channel, bool connected)
{
  if (channel < 0 || channel >= InChannelCount()) return;
  InChannel& in = mInChannels[static_cast<size_t>(channel)];
  in.mConnected = connected;
  if (!connected)
  {
    in.mHostSingle = nullptr;
    in.mHostDouble = nullptr;
    mInPtrs[static_cast<size_t>(channel)] = in.mScratch.data();
  }
}

void IPlugBase::SetOutputConnected(int channel, bool connected)
{
  if (channel < 0 || channel >= OutChannelCount()) return;
  OutChannel& out = mOutChannels[static_cast<size_t>(channel)];
  out.mConnected = connected;
  if (!connected)
  {
    out.mHostSingle = nullptr;
    out.mHostDouble = nullptr;
    mOutPtrs[static_cast<size_t>(channel)] = out.mScratch.data();
  }
}

void IPlugBase::SetInputLabel(int channel, const char* label)
{
  if (channel >= 0 && channel < InChannelCount())
    mInChannels[static_cast<size_t>(channel)].mLabel = label ? label : "";
}

void IPlugBase::SetOutputLabel(int channel, const char* label)
{
  if (channel >= 0 && channel < OutChannelCount())
    mOutChannels[static_cast<size_t>(channel)].mLabel = label ? label : "";
}

// Calls attach (channel, host buffer) for the connected channels among
// first ... first + count - 1, handing out the host buffers in order.
template <typename Channel, typename Buffer, typename Attach>
static void AttachConnected(std::vector<Channel>& channels, int first, int count,
                            Buffer* const* buffers, Attach attach)
{
  if (first < 0 || count <= 0) return;
  const int end = static_cast<int>(std::min<long long>(static_cast<long long>(first) + count,
                                                       static_cast<long long>(channels.size())));
  int next = 0;
  for (int i = first; i < end; ++i)
  {
    Channel& channel = channels[static_cast<size_t>(i)];
    if (!channel.mConnected) continue;
    channel.mHostSingle = nullptr;
    channel.mHostDouble = nullptr;
    attach(channel, buffers ? buffers[next] : nullptr);
    ++next;
  }
}

void IPlugBase::AttachInputs(int first, int count, float* const* buffers)
{
  AttachConnected(mInChannels, first, count, buffers,
                  [](InChannel& in, float* buffer)
                  {
                    in.mHostSingle = buffer;
                    if (!buffer) std::fill(in.mScratch.begin(), in.mScratch.end(), 0.0);
                  });
}

void IPlugBase::AttachInputsDouble(int first, int count, double* const* buffers)
{
  AttachConnected(mInChannels, first, count, buffers,
                  [](InChannel& in, double* buffer)
                  {
                    in.mHostDouble = buffer;
                    if (!buffer) std::fill(in.mScratch.begin(), in.mScratch.end(), 0.0);
                  });
}

void IPlugBase::AttachOutputs(int first, int count, float* const* buffers)
{
  AttachConnected(mOutChannels, first, count, buffers,
                  [](OutChannel& out, float* buffer) { out.mHostSingle = buffer; });
}

void IPlugBase::AttachOutputsDouble(int first, int count, double* const* buffers)
{
  AttachConnected(mOutChannels, first, count, buffers,
                  [](OutChannel& out, double* buffer) { out.mHostDouble = buffer; });
}

void IPlugBase::DetachHostBuffers()
{
  for (size_t i = 0; i < mInChannels.size(); ++i)
  {
    InChannel& in = mInChannels[i];
    // Converted host audio must not be replayed by a block that attaches
    // no input.
    if (in.mHostSingle) std::fill(in.mScratch.begin(), in.mScratch.end(), 0.0);
    in.mHostSingle = nullptr;
    in.mHostDouble = nullptr;
    mInPtrs[i] = in.mScratch.data();
  }
  for (size_t i = 0; i < mOutChannels.size(); ++i)
  {
    OutChannel& out = mOutChannels[i];
    out.mHostSingle = nullptr;
    out.mHostDouble = nullptr;
    mOutPtrs[i] = out.mScratch.data();
  }
}

template <typename Process>
void IPlugBase::RenderBlock(int frames, EOutputMode mode, Process process)
{
  if (frames > 0 && mBlockSize <= 0)
  {
    // A host processing before it announced a block size gets silence.
    for (OutChannel& out : mOutChannels)
    {
      if (out.mHostDouble) std::fill(out.mHostDouble, out.mHostDouble + frames, 0.0);
      if (out.mHostSingle && mode == kReplaceOutput)
        std::fill(out.mHostSingle, out.mHostSingle + frames, 0.0f);
    }
  }
  else
  {
    // Pieces of at most the block size: the scratch buffers hold no more.
    for (int offset = 0; offset < frames; offset += mBlockSize)
    {
      const int n = std::min(mBlockSize, frames - offset);
      for (size_t i = 0; i < mInChannels.size(); ++i)
      {
        InChannel& in = mInChannels[i];
        if (in.mHostDouble)
        {
          mInPtrs[i] = in.mHostDouble + offset;
          continue;
        }
        if (in.mHostSingle)
          std::copy(in.mHostSingle + offset, in.mHostSingle + offset + n, in.mScratch.begin());
        mInPtrs[i] = in.mScratch.data();
      }
      for (size_t i = 0; i < mOutChannels.size(); ++i)
      {
        OutChannel& out = mOutChannels[i];
        mOutPtrs[i] = out.mHostDouble ? out.mHostDouble + offset : out.mScratch.data();
      }
      process(n);
      for (size_t i = 0; i < mOutChannels.size(); ++i)
      {
        OutChannel& out = mOutChannels[i];
        if (!out.mHostSingle) continue;
        const double* result = mOutPtrs[i];
        float* host = out.mHostSingle + offset;
        for (int k = 0; k < n; ++k)
        {
          const float sample = ToSingleOutput(result[k]);
          host[k] = mode == kAccumulateOutput ? host[k] + sample : sample;
        }
      }
    }
  }
  DetachHostBuffers();
}

void IPlugBase::RunBlock(int frames, EOutputMode mode)
{
  RenderBlock(frames, mode, [this](int n) { ProcessDouble(mInPtrs.data(), mOutPtrs.data(), n); });
}

void IPlugBase::BypassDouble(int frames)
{
  if (mLatency != 0 && mDelayLine)
    mDelayLine->Process(mInPtrs.data(), mOutPtrs.data(), frames);
  else
    PassThrough(mInPtrs.data(), mOutPtrs.data(), frames);
}

void IPlugBase::BypassBlock(int frames, EOutputMode mode)
{
  RenderBlock(frames, mode, [this](int n) { BypassDouble(n); });
}

void IPlugBase::ClearScratch()
{
  for (InChannel& in : mInChannels)
    std::fill(in.mScratch.begin(), in.mScratch.end(), 0.0);
  for (OutChannel& out : mOutChannels)
    std::fill(out.mScratch.begin(), out.mScratch.end(), 0.0);
}
