// SingleComponentEffect through a small effect loaded from disk: one object
// answering as component, processor and controller, its buses, parameters,
// life cycle and state.

#include "host_application.h"
#include "memory_stream.h"
#include "plugin_module.h"
#include "process_block.h"
#include "vst3_util.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const FUID kGainClass(0x11111111, 0x22222222, 0x33333333, 0x44444444);
const ParamID kGainId = 7;

class ComponentTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    module = PluginModule::Load(ModuleBinaryPath(TEST_GAIN_BUNDLE, "TestGain"), &error);
    ASSERT_NE(module, nullptr) << error;
    component = Create();
    ASSERT_TRUE(component);
    processor = Query<IAudioProcessor>(component);
    controller = Query<IEditController>(component);
    ASSERT_TRUE(processor && controller);
  }

  IPtr<IComponent> Create()
  {
    IComponent* created = nullptr;
    if (module->Factory()->createInstance(kGainClass.toTUID(), IComponent::iid,
                                          reinterpret_cast<void**>(&created)) != kResultOk)
      return nullptr;
    return owned(created);
  }

  int LiveInstances() const
  {
    return reinterpret_cast<int (*)()>(module->Symbol("TestLiveInstances"))();
  }

  std::unique_ptr<PluginModule> module;
  IPtr<HostApplication> host = owned(new HostApplication("Test Host"));
  IPtr<IComponent> component;
  IPtr<IAudioProcessor> processor;
  IPtr<IEditController> controller;
};

TEST_F(ComponentTest, EveryRoleIsTheSameObject)
{
  auto identity = Query<FUnknown>(component);
  ASSERT_TRUE(identity);
  EXPECT_EQ(Query<FUnknown>(processor).get(), identity.get());
  EXPECT_EQ(Query<FUnknown>(controller).get(), identity.get());
  auto units = Query<IUnitInfo>(component);
  auto connection = Query<IConnectionPoint>(component);
  auto controller2 = Query<IEditController2>(component);
  ASSERT_TRUE(units && connection && controller2);
  EXPECT_EQ(Query<FUnknown>(units).get(), identity.get());
  EXPECT_EQ(Query<FUnknown>(connection).get(), identity.get());
  EXPECT_FALSE(Query<IBStream>(component));
}

TEST_F(ComponentTest, BuildsBusesAndParametersAtInitializeAndOnlyOnce)
{
  EXPECT_EQ(component->getBusCount(kAudio, kInput), 0);
  ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
  EXPECT_EQ(component->initialize(host->unknownCast()), kResultFalse);
  EXPECT_EQ(component->getBusCount(kAudio, kInput), 1);
  EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(component->getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(component->getBusCount(kEvent, kOutput), 0);
  EXPECT_EQ(controller->getParameterCount(), 1);
  component->terminate();
}

TEST_F(ComponentTest, BusInformationDescribesEachBus)
{
  ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
  BusInfo info{};
  ASSERT_EQ(component->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
  EXPECT_EQ(info.mediaType, kAudio);
  EXPECT_EQ(info.direction, kOutput);
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(Narrow(info.name), "Out");
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));

  ASSERT_EQ(component->getBusInfo(kEvent, kInput, 0, info), kResultOk);
  EXPECT_EQ(info.mediaType, kEvent);
  EXPECT_EQ(info.direction, kInput);
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_EQ(Narrow(info.name), "Events");

  for (int32 index : {-1, 1})
    EXPECT_NE(component->getBusInfo(kAudio, kInput, index, info), kResultOk);
  EXPECT_NE(component->getBusInfo(kEvent, kOutput, 0, info), kResultOk);
  EXPECT_NE(component->getBusInfo(99, kInput, 0, info), kResultOk);
  EXPECT_EQ(component->activateBus(kAudio, kInput, 0, false), kResultOk);
  EXPECT_NE(component->activateBus(kAudio, kInput, 1, true), kResultOk);
  EXPECT_NE(component->activateBus(kEvent, kOutput, 0, true), kResultOk);
  component->terminate();
}

TEST_F(ComponentTest, ArrangementsAreStoredWhenTheBusCountsMatch)
{
  ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
  SpeakerArrangement arrangement = 0;
  ASSERT_EQ(processor->getBusArrangement(kOutput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kStereo);

  SpeakerArrangement mono = SpeakerArr::kMono;
  EXPECT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  ASSERT_EQ(processor->getBusArrangement(kInput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kMono);
  BusInfo info{};
  ASSERT_EQ(component->getBusInfo(kAudio, kInput, 0, info), kResultOk);
  EXPECT_EQ(info.channelCount, 1);

  SpeakerArrangement two[] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
  EXPECT_EQ(processor->setBusArrangements(two, 2, two, 1), kResultFalse);
  EXPECT_NE(processor->setBusArrangements(nullptr, 1, two, 1), kResultOk);
  EXPECT_NE(processor->getBusArrangement(kOutput, 1, arrangement), kResultOk);
  component->terminate();
}

TEST_F(ComponentTest, TerminateRemovesBusesAndParametersAndInitializeRebuildsThem)
{
  for (int round = 0; round < 2; ++round)
  {
    ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk) << round;
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(controller->getParameterCount(), 1);
    EXPECT_EQ(component->terminate(), kResultOk);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 0);
    EXPECT_EQ(component->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(controller->getParameterCount(), 0);
  }
}

TEST_F(ComponentTest, DefaultsOfTheRolesTheEffectDoesNotFill)
{
  ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
  TUID cid{};
  EXPECT_EQ(component->getControllerClassId(cid), kNotImplemented);
  EXPECT_EQ(component->setIoMode(kSimple), kNotImplemented);
  RoutingInfo in{}, out{};
  EXPECT_EQ(component->getRoutingInfo(in, out), kNotImplemented);
  EXPECT_EQ(controller->setComponentState(nullptr), kNotImplemented);
  EXPECT_EQ(component->setActive(true), kResultOk);
  EXPECT_EQ(component->setActive(false), kResultOk);
  EXPECT_EQ(processor->getLatencySamples(), 0u);
  EXPECT_EQ(processor->getTailSamples(), 0u);
  EXPECT_EQ(processor->setProcessing(true), kNotImplemented);
  component->terminate();
}

TEST_F(ComponentTest, ParametersComeFromTheContainer)
{
  ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
  ParameterInfo info{};
  ASSERT_EQ(controller->getParameterInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, kGainId);
  EXPECT_EQ(Narrow(info.title), "Gain");
  EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, 0.5);
  // A host's wrong index is an answer, not an exception across the boundary.
  for (int32 index : {-1, 1, 1000})
    EXPECT_NE(controller->getParameterInfo(index, info), kResultOk) << index;
  UnitInfo unit{};
  for (int32 index : {-1, 1000})
    EXPECT_NE(Query<IUnitInfo>(component)->getUnitInfo(index, unit), kResultOk) << index;
  EXPECT_EQ(controller->setParamNormalized(kGainId, 0.25), kResultOk);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(kGainId), 0.25);
  EXPECT_DOUBLE_EQ(controller->normalizedParamToPlain(kGainId, 0.25), 0.5);
  component->terminate();
}

// The effect's own gain processing shows that the process call reached the
// object through the processor role in both sample sizes.
class ComponentProcessTest : public ComponentTest, public ::testing::WithParamInterface<int32>
{
};

TEST_P(ComponentProcessTest, ProcessAppliesTheLastPointOfEachQueue)
{
  const int32 sampleSize = GetParam();
  ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
  ASSERT_EQ(processor->canProcessSampleSize(sampleSize), kResultOk);
  ProcessSetup setup{kRealtime, sampleSize, 64, 48000.0};
  ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
  ProcessBlock block(sampleSize, {2}, {2}, 64);
  for (int i = 0; i < 64; ++i)
  {
    block.SetInput(0, 0, i, 0.25);
    block.SetInput(0, 1, i, -0.5);
  }
  block.Changes().Add(kGainId, 0, 1.0);
  block.Changes().Add(kGainId, 10, 0.0);
  block.Changes().Add(kGainId, 20, 0.75); // plain 1.5
  ASSERT_EQ(processor->process(block.Data(64)), kResultOk);
  EXPECT_DOUBLE_EQ(block.Output(0, 0, 0), 0.375);
  EXPECT_DOUBLE_EQ(block.Output(0, 1, 63), -0.75);
  component->terminate();
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, ComponentProcessTest,
                         ::testing::Values(int32(kSample32), int32(kSample64)));

TEST_F(ComponentTest, StateSavedByOneInstanceLoadsIntoAnother)
{
  ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
  ASSERT_EQ(controller->setParamNormalized(kGainId, 0.125), kResultOk);
  IPtr<MemoryStream> stream = owned(new MemoryStream);
  ASSERT_EQ(component->getState(stream), kResultOk);

  IPtr<IComponent> other = Create();
  ASSERT_TRUE(other);
  ASSERT_EQ(other->initialize(host->unknownCast()), kResultOk);
  stream->Rewind();
  // The host restores through the component role; the same state answers
  // the controller role.
  ASSERT_EQ(other->setState(stream), kResultOk);
  EXPECT_DOUBLE_EQ(Query<IEditController>(other)->getParamNormalized(kGainId), 0.125);
  other->terminate();
  component->terminate();
}

TEST_F(ComponentTest, ReleasingTheLastReferenceDestroysTheObject)
{
  ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk);
  component->terminate();
  EXPECT_EQ(LiveInstances(), 1);
  component = nullptr;
  processor = nullptr;
  controller = nullptr;
  EXPECT_EQ(LiveInstances(), 0);
}

} // namespace
