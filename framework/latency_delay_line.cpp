#include "latency_delay_line.h"

#include <algorithm>
#include <new>

LatencyDelayLine::LatencyDelayLine(int inputs, int outputs)
    : mInputs(static_cast<uint32_t>(std::max(inputs, 0))),
      mOutputs(static_cast<uint32_t>(std::max(outputs, 0)))
{
}

bool LatencyDelayLine::SetLength(int frames)
{
  if (frames < 0) return false;
  try
  {
    std::vector<double> ring(static_cast<size_t>(frames) * mInputs, 0.0);
    mRing.swap(ring);
  }
  catch (const std::bad_alloc&)
  {
    return false;
  }
  mLength = static_cast<uint32_t>(frames);
  mWritePos = 0;
  return true;
}

void LatencyDelayLine::Process(double* const* inputs, double* const* outputs, int frames)
{
  const uint32_t shared = std::min(mInputs, mOutputs);
  for (int frame = 0; frame < frames; ++frame)
  {
    for (uint32_t j = 0; j < shared; ++j)
    {
      const double input = inputs[j][frame];
      if (mLength == 0)
      {
        outputs[j][frame] = input;
        continue;
      }
      double& stored = mRing[static_cast<size_t>(mWritePos) * mInputs + j];
      outputs[j][frame] = stored;
      stored = input;
    }
    if (mLength != 0) mWritePos = (mWritePos + 1) % mLength;
  }
  for (uint32_t j = shared; j < mOutputs; ++j)
    std::fill(outputs[j], outputs[j] + std::max(frames, 0), 0.0);
}
