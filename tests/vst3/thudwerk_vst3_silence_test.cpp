// What Thudwerk.vst3 tells hosts about its processing: silent output
// channels are flagged, and the process context asks for what the plug-in
// reads.

#include "thudwerk_fixture.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

class SilenceFlagTest : public ThudwerkTest, public ::testing::WithParamInterface<int32>
{
};

TEST_P(SilenceFlagTest, SilentBlocksAreFlaggedAndSoundingOnesAreNot)
{
  constexpr int kFrames = 256;
  Prepare(GetParam(), kFrames);
  ProcessBlock block(GetParam(), {2}, {2}, kFrames);
  // Stale flags from the host's last use of the buffers must not survive.
  ProcessData& idle = block.Data(kFrames);
  idle.outputs[0].silenceFlags = 0x1;
  ASSERT_EQ(processor->process(idle), kResultOk);
  EXPECT_EQ(idle.outputs[0].silenceFlags, 0x3u);

  block.Events().AddNoteOn(0, 0, 36, 1.0f);
  ProcessData& sounding = block.Data(kFrames);
  ASSERT_EQ(processor->process(sounding), kResultOk);
  EXPECT_EQ(sounding.outputs[0].silenceFlags, 0u);
  EXPECT_NE(block.Output(0, 0, kFrames - 1), 0.0);
}

INSTANTIATE_TEST_SUITE_P(BothSampleSizes, SilenceFlagTest,
                         ::testing::Values(int32(kSample32), int32(kSample64)));

TEST_F(ThudwerkTest, ProcessContextAsksForTempoTimeSignatureAndTransport)
{
  IPtr<IProcessContextRequirements> requirements = Query<IProcessContextRequirements>(component);
  ASSERT_TRUE(requirements);
  EXPECT_EQ(requirements->getProcessContextRequirements(),
            uint32(IProcessContextRequirements::kNeedTempo |
                   IProcessContextRequirements::kNeedTimeSignature |
                   IProcessContextRequirements::kNeedTransportState));
}

} // namespace
