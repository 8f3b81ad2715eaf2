// The two builds of the instrument sound the same: the note-and-automation
// sequence played through Thudwerk.vst3 and through the VST2 plug-in binary
// (driven by the VST2 test host) gives the same samples. Neither shows a
// value as a negative zero.

#include "render_fixture.h"
#include "vst2_test_host.h"

#include "kick_engine.h"

#include <cmath>
#include <string>

using namespace Steinberg;

namespace
{

// The sequence through the VST2 plug-in: MIDI bytes for the notes, the
// parameter callback for the automation, double-precision processing.
std::vector<std::vector<double>> RenderVst2()
{
  Vst2TestHost host(THUDWERK_VST2_PLUGIN_PATH);
  AEffect* effect = host.InstantiateAndStart(44100.0, kBlock);
  EXPECT_NE(effect, nullptr);
  if (!effect) return {};
  std::vector<std::vector<double>> result(2);
  for (int b = 0; b < kBlocks; ++b)
  {
    Vst2EventList events;
    if (b == 0) events.AddMidi(0, 0x90, 36, 127);
    if (b == kNoteOffBlock) events.AddMidi(5, 0x80, 36, 0);
    if (events.Size() > 0) host.SendEvents(effect, events);
    if (b == kVolumeBlock) effect->setParameter(effect, 7, 0.5f);
    AudioBuffers<double> buffers(2, 2, kBlock);
    host.ProcessDoubleReplacing(effect, buffers, kBlock);
    for (size_t channel = 0; channel < 2; ++channel)
      result[channel].insert(result[channel].end(), buffers.out[channel].begin(),
                             buffers.out[channel].end());
  }
  host.Close(effect);
  return result;
}

using CrossFormatTest = RenderTest;

TEST_P(CrossFormatTest, Vst3AndVst2BuildsRenderTheSameSamples)
{
  const bool single = GetParam() == Vst::kSample32;
  const auto vst2Channels = RenderVst2();
  const auto vst3Channels = RenderPlugInChannels();
  ASSERT_EQ(vst2Channels.size(), 2u);
  for (size_t channel = 0; channel < 2; ++channel)
  {
    const std::vector<double>& vst2 = vst2Channels[channel];
    const std::vector<double>& vst3 = vst3Channels[channel];
    ASSERT_EQ(vst2.size(), vst3.size());
    double peak = 0.0;
    for (double sample : vst2)
      peak = std::max(peak, std::fabs(sample));
    ASSERT_GT(peak, 0.05) << "the comparison must be of sound";
    for (size_t i = 0; i < vst2.size(); ++i)
      ASSERT_NEAR(vst3[i], vst2[i], single ? std::fabs(vst2[i]) * 1e-7 + 1e-12 : 0.0)
          << "channel " << channel << " sample " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(BothSampleSizes, CrossFormatTest,
                         ::testing::Values(int32(Vst::kSample32), int32(Vst::kSample64)));

TEST_F(ThudwerkTest, NoFormatDisplaysAValueAsNegativeZero)
{
  Vst2TestHost vst2(THUDWERK_VST2_PLUGIN_PATH);
  AEffect* effect = vst2.InstantiateAndStart(44100.0, kBlock);
  ASSERT_NE(effect, nullptr);
  std::unique_ptr<KickEngine, void (*)(KickEngine*)> engine(EngineCreate(44100.0), &EngineDestroy);
  for (int index = 0; index < kEngineNumParams; ++index)
  {
    const EngineParamInfo* info = EngineGetParamInfo(engine.get(), index);
    const double zero = std::max(0.0, -info->outputMin / (info->outputMax - info->outputMin));
    // Near the zero in double and, as VST2 hosts send it, in single precision.
    const float single = float(zero);
    for (double normalized : {double(std::nextafter(single, 0.0f)), double(single),
                              double(std::nextafter(single, 1.0f)), zero - 1e-12, zero + 1e-12})
    {
      Vst::String128 wide{};
      controller->getParamStringByValue(Vst::ParamID(index), normalized, wide);
      // VST2's query for any value, not only the current one (PresetSelector
      // rests at 0).
      char text[64] = {};
      vst2.Dispatch(effect, effVendorSpecific, effGetParamDisplay, index, text, float(normalized));
      for (const std::string& shown : {Narrow(wide), std::string(text)})
        EXPECT_FALSE(shown.size() > 1 && shown[0] == '-' &&
                     shown.find_first_not_of("0.", 1) == std::string::npos)
            << info->name << " at " << normalized << ": " << shown;
    }
  }
  vst2.Close(effect);
}
} // namespace
