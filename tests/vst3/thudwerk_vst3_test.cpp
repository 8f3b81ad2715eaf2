// Thudwerk.vst3 as hosts see it: module, factory and class identity,
// parameters, buses, units, state and the preset parameter.

#include "thudwerk_fixture.h"

#include "kick_engine.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

TEST_F(ThudwerkTest, ModuleExportsItsEntryPoints)
{
  for (const std::string& name : ModuleExportNames())
    EXPECT_NE(module->Symbol(name.c_str()), nullptr) << name;
}

TEST_F(ThudwerkTest, FactoryPublishesTheVendor)
{
  PFactoryInfo info;
  ASSERT_EQ(module->Factory()->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "VornAudio");
  EXPECT_STREQ(info.url, THUDWERK_VENDOR_URL);
  EXPECT_STREQ(info.email, THUDWERK_VENDOR_EMAIL);
  EXPECT_GT(std::strlen(info.url), 0u);
  EXPECT_NE(std::strchr(info.email, '@'), nullptr);
  EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
}

TEST_F(ThudwerkTest, FactoryPublishesOneInstrumentClass)
{
  IPluginFactory* factory = module->Factory();
  ASSERT_EQ(factory->countClasses(), 1);
  auto factory2 = Query<IPluginFactory2>(factory);
  ASSERT_TRUE(factory2);
  PClassInfo2 info;
  ASSERT_EQ(factory2->getClassInfo2(0, &info), kResultOk);
  EXPECT_EQ(info.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "Thudwerk");
  EXPECT_EQ(info.classFlags, 2u);
  EXPECT_STREQ(info.subCategories, "Instrument|Synth");
  EXPECT_STREQ(info.vendor, "");
  EXPECT_STREQ(info.version, "1.0.2");
  EXPECT_STREQ(info.sdkVersion, "VST 3.6.0");

  // The identifier's words, and its bytes in the order the SDK keeps them
  // on this platform (COM order on Windows).
  const FUID cid = FUID::fromTUID(info.cid);
  EXPECT_EQ(cid.getLong1(), 0xF2AEE70Du);
  EXPECT_EQ(cid.getLong2(), 0x00DE4F4Eu);
  EXPECT_EQ(cid.getLong3(), 0x56726E61u);
  EXPECT_EQ(cid.getLong4(), 0x56726335u);
#if COM_COMPATIBLE
  const unsigned char expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                      'V',  'r',  'n',  'a',  'V',  'r',  'c',  '5'};
#else
  const unsigned char expected[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                      'V',  'r',  'n',  'a',  'V',  'r',  'c',  '5'};
#endif
  EXPECT_EQ(std::memcmp(info.cid, expected, 16), 0);
}

TEST_F(ThudwerkTest, SecondGetPluginFactoryAddsAReference)
{
  IPluginFactory* second = module->CallGetPluginFactory();
  EXPECT_EQ(second, module->Factory());
  EXPECT_EQ(second->addRef(), 3u);
  second->release();
  second->release();
}

TEST_F(ThudwerkTest, HostSeesTwentyEightParameters)
{
  ASSERT_EQ(controller->getParameterCount(), 28);
  ParameterInfo info{};
  ASSERT_EQ(controller->getParameterInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, kPreset);
  EXPECT_EQ(Narrow(info.title), "Preset");
  EXPECT_EQ(info.stepCount, 0) << "a list of the one preset";
  EXPECT_EQ(info.flags, ParameterInfo::kIsProgramChange | ParameterInfo::kIsList);

  KickEngine* engine = EngineCreate(44100.0);
  ASSERT_NE(engine, nullptr);
  for (int32 i = 1; i < 28; ++i)
  {
    ASSERT_EQ(controller->getParameterInfo(i, info), kResultOk);
    const int index = i - 1;
    EXPECT_EQ(info.id, static_cast<ParamID>(index));
    EXPECT_NE(info.id, kBypass);
    EXPECT_EQ(Narrow(info.title), EngineGetParamInfo(engine, index)->name) << index;
    EXPECT_EQ(info.stepCount, 0) << index;
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate) << index;
    EXPECT_EQ(info.unitId, kRootUnitId);
  }
  EngineDestroy(engine);

  // Precision 5: the text of normalized 0.5 on BassAmpLevel (0 … 1).
  String128 text{};
  ASSERT_EQ(controller->getParamStringByValue(0, 0.5, text), kResultOk);
  EXPECT_EQ(Narrow(text), "0.50000");
  EXPECT_EQ(controller->getParamNormalized(kBypass), 0.0);
}

TEST_F(ThudwerkTest, BusesAreMainInputOutputOneAndMidiInput)
{
  ASSERT_EQ(component->getBusCount(kAudio, kInput), 1);
  ASSERT_EQ(component->getBusCount(kAudio, kOutput), 1);
  ASSERT_EQ(component->getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(component->getBusCount(kEvent, kOutput), 0);
  BusInfo info{};
  ASSERT_EQ(component->getBusInfo(kAudio, kInput, 0, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "Main Input");
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
  ASSERT_EQ(component->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "Output 1");
  EXPECT_EQ(info.channelCount, 2);
  ASSERT_EQ(component->getBusInfo(kEvent, kInput, 0, info), kResultOk);
  EXPECT_EQ(Narrow(info.name), "MIDI Input");
  EXPECT_EQ(info.channelCount, 1);

  SpeakerArrangement stereo = SpeakerArr::kStereo;
  SpeakerArrangement mono = SpeakerArr::kMono;
  EXPECT_EQ(processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  EXPECT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(processor->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(processor->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse);
}

TEST_F(ThudwerkTest, OnlyTheRootUnitAndThePresetList)
{
  auto units = Query<IUnitInfo>(component);
  ASSERT_TRUE(units);
  EXPECT_EQ(units->getUnitCount(), 1);
  ProgramListInfo list{};
  ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.programCount, 1);
  String128 name{};
  ASSERT_EQ(units->getProgramName(kPreset, 0, name), kResultOk);
  EXPECT_EQ(Narrow(name), "Init");
}

TEST_F(ThudwerkTest, StateIsTwoHundredTwentyBytesAndRoundTrips)
{
  ASSERT_EQ(controller->setParamNormalized(7, 0.25), kResultOk);  // MainVolume
  ASSERT_EQ(controller->setParamNormalized(18, 0.75), kResultOk); // TransistorDistLoad
  const std::vector<char> bytes = SavedState(component);
  ASSERT_EQ(bytes.size(), 220u);

  IPtr<IComponent> other = Create();
  ASSERT_TRUE(other);
  ASSERT_EQ(other->initialize(host->unknownCast()), kResultOk);
  auto otherController = Query<IEditController>(other);
  IPtr<MemoryStream> stream = owned(new MemoryStream(bytes));
  ASSERT_EQ(other->setState(stream), kResultOk);
  for (ParamID id = 0; id < 27; ++id)
    EXPECT_EQ(otherController->getParamNormalized(id), controller->getParamNormalized(id)) << id;

  std::vector<char> chunkOnly(bytes.begin(), bytes.begin() + 216);
  ASSERT_EQ(controller->setParamNormalized(7, 0.9), kResultOk);
  IPtr<MemoryStream> shortStream = owned(new MemoryStream(chunkOnly));
  EXPECT_EQ(component->setState(shortStream), kResultFalse);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(7), 0.25);
  other->terminate();
}

TEST_F(ThudwerkTest, PresetParameterNamingTheCurrentProgramChangesNothing)
{
  Prepare(kSample32, 64);
  ASSERT_EQ(controller->setParamNormalized(7, 0.1), kResultOk);
  ProcessBlock block(kSample32, {2}, {2}, 64);
  // Hosts resend the program after setState: the user's sound stays.
  for (double value : {0.0, 1.0, 0.5})
  {
    block.Changes().Clear();
    block.Changes().Add(kPreset, 0, value);
    ASSERT_EQ(processor->process(block.Data(64)), kResultOk);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(7), 0.1) << value;
  }
  String128 text{};
  ASSERT_EQ(controller->getParamStringByValue(kPreset, 1.0, text), kResultOk);
  EXPECT_EQ(Narrow(text), "Init");
  EXPECT_EQ(controller->getParamNormalized(kPreset), 0.0);
}

TEST_F(ThudwerkTest, EditorViewIsOfferedOnlyForThePlatformWindowType)
{
  IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
  ASSERT_TRUE(view);
#if SMTG_OS_WINDOWS
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
#else
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultOk);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
#endif
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeNSView), kResultFalse);
  EXPECT_EQ(controller->createView("nothing"), nullptr);
}

} // namespace
