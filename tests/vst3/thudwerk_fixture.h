#pragma once

#include "component_handler.h"
#include "host_application.h"
#include "memory_stream.h"
#include "plugin_module.h"
#include "process_block.h"
#include "vst3_util.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

// The built Thudwerk.vst3 loaded from disk, one instance created through its
// factory and initialized as a host does.
class ThudwerkTest : public ::testing::Test
{
protected:
  static constexpr Steinberg::Vst::ParamID kPreset = 0x70727374; // 'prst'
  static constexpr Steinberg::Vst::ParamID kBypass = 0x62706173; // 'bpas'

  static const Steinberg::FUID& ClassId()
  {
    // "Vrna" and "Vrc5" as big-endian words.
    static const Steinberg::FUID cid(0xF2AEE70D, 0x00DE4F4E, 0x56726E61, 0x56726335);
    return cid;
  }

  void SetUp() override { Load(ModuleBinaryPath(THUDWERK_VST3_BUNDLE, "Thudwerk")); }

  // Loads the module file at modulePath and creates and initializes one
  // instance.
  void Load(const std::string& modulePath)
  {
    std::string error;
    module = PluginModule::Load(modulePath, &error);
    ASSERT_NE(module, nullptr) << error;
    component = Create();
    ASSERT_TRUE(component);
    processor = Query<Steinberg::Vst::IAudioProcessor>(component);
    controller = Query<Steinberg::Vst::IEditController>(component);
    ASSERT_TRUE(processor && controller);
    ASSERT_EQ(component->initialize(host->unknownCast()), Steinberg::kResultOk);
    ASSERT_EQ(controller->setComponentHandler(handler), Steinberg::kResultOk);
  }

  void TearDown() override
  {
    if (component) component->terminate();
  }

  Steinberg::IPtr<Steinberg::Vst::IComponent> Create()
  {
    Steinberg::Vst::IComponent* created = nullptr;
    if (module->Factory()->createInstance(ClassId().toTUID(), Steinberg::Vst::IComponent::iid,
                                          reinterpret_cast<void**>(&created)) !=
        Steinberg::kResultOk)
      return nullptr;
    return Steinberg::owned(created);
  }

  void Prepare(Steinberg::int32 sampleSize, int maxBlock, double sampleRate = 44100.0)
  {
    using namespace Steinberg::Vst;
    ProcessSetup setup{kRealtime, sampleSize, maxBlock, sampleRate};
    ASSERT_EQ(processor->setupProcessing(setup), Steinberg::kResultOk);
    for (MediaType type : {MediaType(kAudio), MediaType(kEvent)})
      for (BusDirection dir : {BusDirection(kInput), BusDirection(kOutput)})
        for (Steinberg::int32 i = 0; i < component->getBusCount(type, dir); ++i)
          component->activateBus(type, dir, i, true);
    ASSERT_EQ(component->setActive(true), Steinberg::kResultOk);
    processor->setProcessing(true);
  }

  std::vector<char> SavedState(Steinberg::Vst::IComponent* from)
  {
    Steinberg::IPtr<MemoryStream> stream = Steinberg::owned(new MemoryStream);
    EXPECT_EQ(from->getState(stream), Steinberg::kResultOk);
    return stream->Bytes();
  }

  std::unique_ptr<PluginModule> module;
  Steinberg::IPtr<HostApplication> host = Steinberg::owned(new HostApplication("Test Host"));
  Steinberg::IPtr<ComponentHandler> handler = Steinberg::owned(new ComponentHandler);
  Steinberg::IPtr<Steinberg::Vst::IComponent> component;
  Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor;
  Steinberg::IPtr<Steinberg::Vst::IEditController> controller;
};
