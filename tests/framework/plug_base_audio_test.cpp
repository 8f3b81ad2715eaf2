#include "test_plug.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

namespace
{
// Doubles its inputs and records the size of every processing call.
class GainPlug : public TestPlug
{
public:
  explicit GainPlug(const char* channelIO = "2-2") : TestPlug(1, channelIO, 1) {}
  void ProcessDouble(double** inputs, double** outputs, int frames) override
  {
    mCalls.push_back(frames);
    for (int c = 0; c < OutChannelCount(); ++c)
      for (int k = 0; k < frames; ++k)
        outputs[c][k] = c < InChannelCount() ? 2.0 * inputs[c][k] : 0.0;
  }
  std::vector<int> mCalls;
};

void ConnectAll(IPlugBase& plug)
{
  for (int c = 0; c < plug.InChannelCount(); ++c)
    plug.SetInputConnected(c, true);
  for (int c = 0; c < plug.OutChannelCount(); ++c)
    plug.SetOutputConnected(c, true);
}

// Host-side channel buffers with a recognisable ramp per channel.
template <typename Sample>
struct HostBuffers
{
  HostBuffers(int channels, int frames, Sample fill)
      : mData(static_cast<size_t>(channels), std::vector<Sample>(static_cast<size_t>(frames), fill))
  {
    for (auto& channel : mData)
      mPointers.push_back(channel.data());
  }
  void Ramp(Sample base)
  {
    for (size_t c = 0; c < mData.size(); ++c)
      for (size_t k = 0; k < mData[c].size(); ++k)
        mData[c][k] = base + static_cast<Sample>(100 * c + k);
  }
  std::vector<std::vector<Sample>> mData;
  std::vector<Sample*> mPointers;
};
} // namespace

TEST(PassThroughTest, CopiesSharedChannelsAndZeroesTheRest)
{
  TestPlug plug(1, "2-4", 1);
  HostBuffers<double> in(2, 8, 0.0);
  in.Ramp(1.0);
  HostBuffers<double> out(4, 8, 9.0);
  plug.ProcessDouble(in.mPointers.data(), out.mPointers.data(), 8);
  EXPECT_EQ(in.mData[0], out.mData[0]);
  EXPECT_EQ(in.mData[1], out.mData[1]);
  EXPECT_EQ(std::vector<double>(8, 0.0), out.mData[2]);
  EXPECT_EQ(std::vector<double>(8, 0.0), out.mData[3]);

  HostBuffers<float> inF(2, 8, 0.0f);
  inF.Ramp(1.0f);
  HostBuffers<float> outF(4, 8, 9.0f);
  plug.ProcessSingle(inF.mPointers.data(), outF.mPointers.data(), 8);
  EXPECT_EQ(inF.mData[1], outF.mData[1]);
  EXPECT_EQ(std::vector<float>(8, 0.0f), outF.mData[3]);
}

TEST(PassThroughTest, MoreInputsThanOutputsCopiesOnlyTheOutputs)
{
  TestPlug plug(1, "3-1", 1);
  HostBuffers<float> in(3, 4, 0.0f);
  in.Ramp(5.0f);
  HostBuffers<float> out(1, 4, 0.0f);
  plug.ProcessSingle(in.mPointers.data(), out.mPointers.data(), 4);
  EXPECT_EQ(in.mData[0], out.mData[0]);
}

TEST(BlockSizeTest, ScratchBuffersFollowTheBlockSize)
{
  TestPlug plug;
  plug.SetBlockSize(64);
  EXPECT_EQ(64, plug.GetBlockSize());
  EXPECT_EQ(64u, plug.GetInChannel(1)->mScratch.size());
  EXPECT_EQ(64u, plug.GetOutChannel(0)->mScratch.size());
  EXPECT_EQ(plug.GetInChannel(1)->mScratch.data(), plug.InputPointers()[1]);
  plug.SetBlockSize(-3);
  EXPECT_EQ(64, plug.GetBlockSize());
}

TEST(BlockSizeTest, TheSameSizeLeavesTheScratchAlone)
{
  GainPlug plug;
  plug.SetBlockSize(4);
  // Unconnected channels process inside their scratch buffers: the inputs
  // are zero, the outputs receive whatever the plug writes.
  plug.SetOutputConnected(0, false);
  plug.SetInputConnected(0, true);
  HostBuffers<float> in(1, 4, 0.0f);
  in.Ramp(1.0f);
  plug.AttachInputs(0, 1, in.mPointers.data());
  plug.RunBlock(4);
  const std::vector<double> written = plug.GetOutChannel(0)->mScratch;
  EXPECT_EQ(2.0, written[0]);
  plug.SetBlockSize(4);
  EXPECT_EQ(written, plug.GetOutChannel(0)->mScratch);
  plug.SetBlockSize(8);
  EXPECT_EQ(std::vector<double>(8, 0.0), plug.GetOutChannel(0)->mScratch);
}

TEST(RunBlockTest, SinglePrecisionIsConvertedBothWays)
{
  GainPlug plug;
  plug.SetBlockSize(16);
  ConnectAll(plug);
  HostBuffers<float> in(2, 16, 0.0f);
  in.Ramp(0.5f);
  HostBuffers<float> out(2, 16, -1.0f);
  plug.AttachInputs(0, 2, in.mPointers.data());
  plug.AttachOutputs(0, 2, out.mPointers.data());
  plug.RunBlock(16);
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < 16; ++k)
      EXPECT_EQ(2.0f * in.mData[c][k], out.mData[c][k]);
  EXPECT_EQ(std::vector<int>{16}, plug.mCalls);
}

TEST(RunBlockTest, SinglePrecisionOutputFlushesWhatFloatsOnlyHoldAsSubnormals)
{
  constexpr double kMinNormal = std::numeric_limits<float>::min();
  // engine result, single-precision output
  const std::vector<std::pair<double, float>> cases = {
      {0.5, 0.5f},
      {kMinNormal, std::numeric_limits<float>::min()},
      {-kMinNormal, -std::numeric_limits<float>::min()},
      {kMinNormal * (1.0 - 0x1p-40), 0.0f},
      {-1e-40, 0.0f},
      {1e-45, 0.0f},
      {1e-300, 0.0f},
  };
  const int frames = static_cast<int>(cases.size());
  HostBuffers<double> in(2, frames, 0.0);
  for (size_t k = 0; k < cases.size(); ++k)
    in.mData[0][k] = in.mData[1][k] = cases[k].first / 2.0;
  for (EOutputMode mode : {kReplaceOutput, kAccumulateOutput})
  {
    GainPlug plug;
    plug.SetBlockSize(frames);
    ConnectAll(plug);
    HostBuffers<float> single(2, frames, 0.0f);
    plug.AttachInputsDouble(0, 2, in.mPointers.data());
    plug.AttachOutputs(0, 2, single.mPointers.data());
    plug.RunBlock(frames, mode);
    HostBuffers<double> wide(2, frames, 0.0);
    plug.AttachInputsDouble(0, 2, in.mPointers.data());
    plug.AttachOutputsDouble(0, 2, wide.mPointers.data());
    plug.RunBlock(frames);
    for (size_t k = 0; k < cases.size(); ++k)
    {
      EXPECT_EQ(cases[k].second, single.mData[1][k])
          << "mode " << mode << ", value " << cases[k].first;
      EXPECT_EQ(cases[k].first, wide.mData[1][k]) << "64-bit output keeps " << cases[k].first;
    }
  }
}

TEST(RunBlockTest, AccumulatingOutputAddsToTheHostBuffer)
{
  GainPlug plug;
  plug.SetBlockSize(8);
  ConnectAll(plug);
  HostBuffers<float> in(2, 8, 1.0f);
  HostBuffers<float> out(2, 8, 0.25f);
  plug.AttachInputs(0, 2, in.mPointers.data());
  plug.AttachOutputs(0, 2, out.mPointers.data());
  plug.RunBlock(8, kAccumulateOutput);
  EXPECT_EQ(std::vector<float>(8, 2.25f), out.mData[1]);
}

TEST(RunBlockTest, MoreFramesThanTheBlockSizeArriveInPieces)
{
  GainPlug plug;
  plug.SetBlockSize(32);
  ConnectAll(plug);
  HostBuffers<float> in(2, 100, 0.0f);
  in.Ramp(1.0f);
  HostBuffers<float> out(2, 100, 0.0f);
  plug.AttachInputs(0, 2, in.mPointers.data());
  plug.AttachOutputs(0, 2, out.mPointers.data());
  plug.RunBlock(100);
  EXPECT_EQ((std::vector<int>{32, 32, 32, 4}), plug.mCalls);
  for (int k = 0; k < 100; ++k)
    ASSERT_EQ(2.0f * in.mData[1][static_cast<size_t>(k)], out.mData[1][static_cast<size_t>(k)]);
}

TEST(RunBlockTest, InPlaceHostBuffersWork)
{
  GainPlug plug;
  plug.SetBlockSize(8);
  ConnectAll(plug);
  HostBuffers<float> io(2, 20, 0.0f);
  io.Ramp(1.0f);
  const std::vector<float> original = io.mData[0];
  plug.AttachInputs(0, 2, io.mPointers.data());
  plug.AttachOutputs(0, 2, io.mPointers.data());
  plug.RunBlock(20);
  for (size_t k = 0; k < 20; ++k)
    ASSERT_EQ(2.0f * original[k], io.mData[0][k]);
}

TEST(RunBlockTest, DoubleBuffersAreUsedDirectly)
{
  GainPlug plug;
  plug.SetBlockSize(8);
  ConnectAll(plug);
  HostBuffers<double> in(2, 12, 0.0);
  in.Ramp(0.125);
  HostBuffers<double> out(2, 12, 0.0);
  plug.AttachInputsDouble(0, 2, in.mPointers.data());
  plug.AttachOutputsDouble(0, 2, out.mPointers.data());
  plug.RunBlock(12);
  for (size_t k = 0; k < 12; ++k)
    ASSERT_EQ(2.0 * in.mData[0][k], out.mData[0][k]);
  EXPECT_EQ((std::vector<int>{8, 4}), plug.mCalls);
  EXPECT_EQ(plug.GetOutChannel(0)->mScratch.data(), plug.OutputPointers()[0])
      << "no host pointer stays behind after the block";
}

TEST(RunBlockTest, UnconnectedChannelsSkipHostBuffers)
{
  GainPlug plug;
  plug.SetBlockSize(4);
  ConnectAll(plug);
  plug.SetInputConnected(0, false);
  plug.SetOutputConnected(1, false);
  EXPECT_EQ(plug.GetInChannel(0)->mScratch.data(), plug.InputPointers()[0]);
  HostBuffers<float> in(2, 4, 0.0f);
  in.Ramp(1.0f);
  HostBuffers<float> out(2, 4, 7.0f);
  plug.AttachInputs(0, 2, in.mPointers.data());
  plug.AttachOutputs(0, 2, out.mPointers.data());
  plug.RunBlock(4);
  // Input 1, the only connected input, took the first host buffer; output 0
  // the first host output.
  EXPECT_EQ(std::vector<float>(4, 0.0f), out.mData[0]) << "output 0 reads silent input 0";
  EXPECT_EQ(std::vector<float>(4, 7.0f), out.mData[1]) << "nothing reaches host buffer 1";
  EXPECT_EQ(2.0 * in.mData[0][3], plug.GetOutChannel(1)->mScratch[3]);
}

TEST(RunBlockTest, NullHostBuffersReadSilenceAndReceiveNothing)
{
  GainPlug plug;
  plug.SetBlockSize(4);
  ConnectAll(plug);
  float* inputs[2] = {nullptr, nullptr};
  HostBuffers<float> out(2, 4, 3.0f);
  float* outputs[2] = {out.mPointers[0], nullptr};
  plug.AttachInputs(0, 2, inputs);
  plug.AttachOutputs(0, 2, outputs);
  plug.RunBlock(4);
  EXPECT_EQ(std::vector<float>(4, 0.0f), out.mData[0]);
  EXPECT_EQ(std::vector<float>(4, 3.0f), out.mData[1]);
  plug.AttachInputs(0, 2, nullptr);
  plug.AttachOutputs(0, 2, nullptr);
  plug.RunBlock(4);
  EXPECT_EQ(2u, plug.mCalls.size());
}

TEST(RunBlockTest, WithoutABlockSizeTheHostGetsSilence)
{
  GainPlug plug;
  ConnectAll(plug);
  HostBuffers<float> in(2, 16, 1.0f);
  HostBuffers<float> out(2, 16, 5.0f);
  plug.AttachInputs(0, 2, in.mPointers.data());
  plug.AttachOutputs(0, 2, out.mPointers.data());
  plug.RunBlock(16);
  EXPECT_TRUE(plug.mCalls.empty());
  EXPECT_EQ(std::vector<float>(16, 0.0f), out.mData[0]);
}

TEST(RunBlockTest, ZeroFramesDoNothing)
{
  GainPlug plug;
  plug.SetBlockSize(4);
  plug.RunBlock(0);
  plug.RunBlock(-4);
  EXPECT_TRUE(plug.mCalls.empty());
}

TEST(BypassTest, WithoutLatencyTheBasePassThroughRuns)
{
  GainPlug plug;
  plug.SetBlockSize(8);
  plug.CreateLatencyDelayLine();
  ConnectAll(plug);
  HostBuffers<float> in(2, 8, 0.0f);
  in.Ramp(1.0f);
  HostBuffers<float> out(2, 8, 0.0f);
  plug.AttachInputs(0, 2, in.mPointers.data());
  plug.AttachOutputs(0, 2, out.mPointers.data());
  plug.BypassBlock(8);
  EXPECT_TRUE(plug.mCalls.empty()) << "never the instrument's processing";
  EXPECT_EQ(in.mData[1], out.mData[1]);
}

TEST(BypassTest, LatencyDelaysTheBypassedSignal)
{
  GainPlug plug;
  plug.SetBlockSize(8);
  plug.CreateLatencyDelayLine();
  plug.SetLatency(3);
  EXPECT_EQ(3, plug.GetLatency());
  ConnectAll(plug);
  std::vector<float> played;
  std::vector<float> heard;
  for (int block = 0; block < 3; ++block)
  {
    HostBuffers<float> in(2, 5, 0.0f);
    in.Ramp(10.0f * static_cast<float>(block + 1));
    HostBuffers<float> out(2, 5, -1.0f);
    plug.AttachInputs(0, 2, in.mPointers.data());
    plug.AttachOutputs(0, 2, out.mPointers.data());
    plug.BypassBlock(5);
    played.insert(played.end(), in.mData[1].begin(), in.mData[1].end());
    heard.insert(heard.end(), out.mData[1].begin(), out.mData[1].end());
  }
  for (size_t k = 0; k < heard.size(); ++k)
    ASSERT_EQ(k < 3 ? 0.0f : played[k - 3], heard[k]) << k;
}

TEST(BypassTest, LatencyWithoutADelayLineIsOnlyStored)
{
  TestPlug plug;
  plug.SetBlockSize(4);
  plug.SetLatency(2);
  plug.SetLatency(-5);
  EXPECT_EQ(0, plug.GetLatency());
  plug.SetLatency(2);
  ConnectAll(plug);
  HostBuffers<double> in(2, 4, 0.0);
  in.Ramp(1.0);
  HostBuffers<double> out(2, 4, 0.0);
  plug.AttachInputsDouble(0, 2, in.mPointers.data());
  plug.AttachOutputsDouble(0, 2, out.mPointers.data());
  plug.BypassBlock(4);
  EXPECT_EQ(in.mData[0], out.mData[0]);
}

TEST(BypassTest, DelayLineZeroesOutputsWithoutAnInput)
{
  TestPlug plug(1, "1-2", 1);
  plug.SetBlockSize(4);
  plug.CreateLatencyDelayLine();
  plug.SetLatency(1);
  ConnectAll(plug);
  HostBuffers<double> in(1, 4, 1.0);
  HostBuffers<double> out(2, 4, 8.0);
  plug.AttachInputsDouble(0, 1, in.mPointers.data());
  plug.AttachOutputsDouble(0, 2, out.mPointers.data());
  plug.BypassBlock(4);
  EXPECT_EQ((std::vector<double>{0.0, 1.0, 1.0, 1.0}), out.mData[0]);
  EXPECT_EQ(std::vector<double>(4, 0.0), out.mData[1]);
}

TEST(ScratchTest, ClearScratchZeroesEveryBuffer)
{
  GainPlug plug;
  plug.SetBlockSize(4);
  plug.RunBlock(4); // nothing connected: processes scratch into scratch
  HostBuffers<float> in(2, 4, 1.0f);
  plug.SetInputConnected(0, true);
  plug.AttachInputs(0, 1, in.mPointers.data());
  plug.RunBlock(4);
  EXPECT_EQ(2.0, plug.GetOutChannel(0)->mScratch[0]);
  plug.ClearScratch();
  EXPECT_EQ(std::vector<double>(4, 0.0), plug.GetOutChannel(0)->mScratch);
  EXPECT_EQ(std::vector<double>(4, 0.0), plug.GetInChannel(0)->mScratch);
}

TEST(ChannelTest, LabelsAndOutOfRangeChannelsAreSafe)
{
  TestPlug plug;
  plug.SetInputLabel(1, "Side");
  plug.SetOutputLabel(0, nullptr);
  plug.SetInputLabel(5, "ignored");
  plug.SetOutputConnected(-1, true);
  plug.AttachInputs(-1, 5, nullptr);
  plug.AttachOutputs(1, 0x7FFFFFFF, nullptr);
  EXPECT_EQ("Side", plug.GetInChannel(1)->mLabel);
  EXPECT_EQ("", plug.GetOutChannel(0)->mLabel);
}
