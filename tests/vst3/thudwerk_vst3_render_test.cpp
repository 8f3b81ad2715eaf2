// End to end: notes and automation sent to Thudwerk.vst3 render the same
// audio as the engine driven directly with the same parameter sequence.

#include "render_fixture.h"

#include "kick_engine.h"

#include <cmath>
#include <memory>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

// The engine on its own: every parameter at its default (what the plug-in's
// preset "Init" holds), then the values a note-on of pitch 36 at full
// velocity writes (gate, note, velocity, the first retrigger step), the host
// tempo every block, the automation and the note-off.
std::vector<double> EngineReference(int channel)
{
  std::unique_ptr<KickEngine, void (*)(KickEngine*)> engine(EngineCreate(44100.0), &EngineDestroy);
  EXPECT_TRUE(engine);
  EngineReset(engine.get(), 44100.0, 1024);
  for (int i = 0; i < kEngineNumParams; ++i)
    EngineSetParam(engine.get(), i, EngineGetParamInfo(engine.get(), i)->defaultValue);
  std::vector<double> left(kBlock), right(kBlock), in(kBlock, 0.0);
  double* inputs[2] = {in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  std::vector<double> result;
  for (int b = 0; b < kBlocks; ++b)
  {
    if (b == 0)
    {
      EngineSetParam(engine.get(), EngineParam::Voice00_NoteGate, 1.0);
      EngineSetParam(engine.get(), EngineParam::Voice00_NoteNumber, 36.0);
      EngineSetParam(engine.get(), EngineParam::Voice00_NoteVelocity, 127.0);
      EngineSetParam(engine.get(), EngineParam::Voice00_NoteRetrig, double(0.01f));
    }
    if (b == kVolumeBlock) EngineSetParam(engine.get(), EngineParam::MainVolume, 0.5);
    if (b == kNoteOffBlock)
    {
      EngineSetParam(engine.get(), EngineParam::Voice00_NoteGate, 0.0);
      EngineSetParam(engine.get(), EngineParam::Voice00_NoteNumber, 36.0);
    }
    EngineSetParam(engine.get(), EngineParam::HostTempoBpm, 120.0);
    EXPECT_EQ(EnginePerform(engine.get(), inputs, outputs, kBlock), 0);
    const std::vector<double>& out = channel == 0 ? left : right;
    result.insert(result.end(), out.begin(), out.end());
  }
  return result;
}

TEST_P(RenderTest, NoteAtPitch36SoundsLikeTheEngine)
{
  const std::vector<double> left = RenderPlugIn(0);
  const std::vector<double> reference = EngineReference(0);
  ASSERT_EQ(left.size(), reference.size());
  double peak = 0.0;
  for (double sample : reference)
    peak = std::max(peak, std::fabs(sample));
  ASSERT_GT(peak, 0.05) << "the reference must actually sound";
  // Single precision rounds each sample once; double precision is exact.
  const bool single = GetParam() == kSample32;
  for (size_t i = 0; i < left.size(); ++i)
  {
    const double tolerance = single ? std::fabs(reference[i]) * 1e-7 + 1e-12 : 0.0;
    ASSERT_NEAR(left[i], reference[i], tolerance) << "sample " << i;
  }
}

TEST_P(RenderTest, BothChannelsMatchTheEngine)
{
  const std::vector<double> right = RenderPlugIn(1);
  const std::vector<double> reference = EngineReference(1);
  const bool single = GetParam() == kSample32;
  for (size_t i = 0; i < right.size(); ++i)
    ASSERT_NEAR(right[i], reference[i], single ? std::fabs(reference[i]) * 1e-7 + 1e-12 : 0.0)
        << "sample " << i;
}

INSTANTIATE_TEST_SUITE_P(BothSampleSizes, RenderTest,
                         ::testing::Values(int32(kSample32), int32(kSample64)));

} // namespace
