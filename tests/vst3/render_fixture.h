#pragma once

#include "thudwerk_fixture.h"

#include <vector>

// The note-and-automation sequence the render tests play: pitch 36 at full
// velocity from the first block, MainVolume automated to 0.5 in block
// kVolumeBlock, the note released in block kNoteOffBlock.
constexpr int kBlock = 64;
constexpr int kBlocks = 40;
constexpr int kVolumeBlock = 12; // MainVolume automated to 0.5 here
constexpr int kNoteOffBlock = 20;

class RenderTest : public ThudwerkTest, public ::testing::WithParamInterface<Steinberg::int32>
{
protected:
  // One output channel of the whole sequence, in the parameter's sample size.
  // The sequence starts from a fresh instance, so render once per instance.
  std::vector<double> RenderPlugIn(int channel) { return RenderPlugInChannels()[channel]; }

  std::vector<std::vector<double>> RenderPlugInChannels()
  {
    const Steinberg::int32 size = GetParam();
    using namespace Steinberg;
    using namespace Steinberg::Vst;
    Prepare(size, kBlock);
    ProcessBlock block(size, {2}, {2}, kBlock);
    block.Context().tempo = 120.0;
    std::vector<std::vector<double>> result(2);
    for (int b = 0; b < kBlocks; ++b)
    {
      block.Changes().Clear();
      block.Events().Clear();
      if (b == 0) block.Events().AddNoteOn(0, 0, 36, 1.0f);
      if (b == kVolumeBlock) block.Changes().Add(7, 10, 0.5); // MainVolume 0 … 1
      if (b == kNoteOffBlock) block.Events().AddNoteOff(5, 0, 36);
      EXPECT_EQ(processor->process(block.Data(kBlock)), kResultOk);
      for (int channel = 0; channel < 2; ++channel)
      {
        const std::vector<double> out = block.OutputChannel(0, channel, kBlock);
        result[channel].insert(result[channel].end(), out.begin(), out.end());
      }
    }
    return result;
  }
};
