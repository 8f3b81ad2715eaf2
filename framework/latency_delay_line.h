#pragma once

#include <cstdint>
#include <vector>

// Delays each input channel into the output channel of the same number by a
// fixed number of frames, so a bypassed plug-in keeps its reported latency.
// Process runs on the audio thread and allocates nothing; SetLength
// allocates.
class LatencyDelayLine
{
public:
  LatencyDelayLine(int inputs, int outputs);

  // Sets the delay, empties the line and restarts it. False (the line left as
  // it was) when frames is negative or memory runs out.
  bool SetLength(int frames);
  int Length() const { return static_cast<int>(mLength); }

  // Output j receives input j from Length () frames earlier, for j below both
  // counts; other outputs are zeroed. Input and output may be the same
  // buffer. A length of 0 copies straight through.
  void Process(double* const* inputs, double* const* outputs, int frames);

private:
  std::vector<double> mRing; // mLength frames of mInputs samples each
  uint32_t mWritePos = 0;
  uint32_t mInputs = 0;
  uint32_t mOutputs = 0;
  uint32_t mLength = 0;
};
