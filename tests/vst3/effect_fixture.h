#pragma once

#include "component_handler.h"
#include "host_application.h"
#include "plugin_module.h"
#include "process_block.h"
#include "test_effect_probes.h"
#include "vst3_util.h"

#include "plug_base.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

// The test effect (an IPlugVST3 effect: "1-1 2-2", parameters Gain 0..2
// label "x" group "Amp", Mode list Soft/Hard/Fold group "Amp", Drive 0..1
// group "Tone", presets "Init" and one empty, MIDI input) loaded from disk,
// created through its factory, initialized with a host application and a
// component handler.
class EffectTest : public ::testing::Test
{
protected:
  static constexpr Steinberg::Vst::ParamID kPreset = 0x70727374; // 'prst'
  static constexpr Steinberg::Vst::ParamID kBypass = 0x62706173; // 'bpas'

  void SetUp() override { Load(false); }
  void TearDown() override
  {
    if (component) component->terminate();
  }

  void Load(bool withEditor, const char* hostName = "Test Host")
  {
    std::string error;
    module = PluginModule::Load(ModuleBinaryPath(TEST_EFFECT_BUNDLE, "TestEffect"), &error);
    ASSERT_NE(module, nullptr) << error;
    component = Create(withEditor);
    ASSERT_TRUE(component);
    processor = Query<Steinberg::Vst::IAudioProcessor>(component);
    controller = Query<Steinberg::Vst::IEditController>(component);
    ASSERT_TRUE(processor && controller);
    host = Steinberg::owned(new HostApplication(hostName));
    ASSERT_EQ(component->initialize(host->unknownCast()), Steinberg::kResultOk);
    ASSERT_EQ(controller->setComponentHandler(handler), Steinberg::kResultOk);
  }

  Steinberg::IPtr<Steinberg::Vst::IComponent> Create(bool withEditor)
  {
    const Steinberg::FUID cid(0x7E570001, 0, 0, withEditor ? 2 : 1);
    Steinberg::Vst::IComponent* created = nullptr;
    if (module->Factory()->createInstance(cid.toTUID(), Steinberg::Vst::IComponent::iid,
                                          reinterpret_cast<void**>(&created)) !=
        Steinberg::kResultOk)
      return nullptr;
    return Steinberg::owned(created);
  }

  // setupProcessing, bus activation and activation, as hosts do before
  // processing.
  void Prepare(Steinberg::int32 sampleSize, int maxBlock, double sampleRate = 48000.0,
               Steinberg::int32 mode = Steinberg::Vst::kRealtime)
  {
    Steinberg::Vst::ProcessSetup setup{mode, sampleSize, maxBlock, sampleRate};
    ASSERT_EQ(processor->setupProcessing(setup), Steinberg::kResultOk);
    ActivateBuses();
    ASSERT_EQ(component->setActive(true), Steinberg::kResultOk);
    processor->setProcessing(true);
  }

  void ActivateBuses()
  {
    using namespace Steinberg::Vst;
    for (MediaType type : {MediaType(kAudio), MediaType(kEvent)})
      for (BusDirection dir : {BusDirection(kInput), BusDirection(kOutput)})
        for (Steinberg::int32 i = 0; i < component->getBusCount(type, dir); ++i)
          component->activateBus(type, dir, i, true);
  }

  // The last instance's plugin base and records, through the module's
  // probes.
  IPlugBase* Base() const
  {
    return reinterpret_cast<IPlugBase* (*)()>(module->Symbol("TestEffectBase"))();
  }
  const TestEffectProbes& Probes() const
  {
    return *reinterpret_cast<const TestEffectProbes* (*)()>(
        module->Symbol("TestEffectProbeRecord"))();
  }

  std::unique_ptr<PluginModule> module;
  Steinberg::IPtr<HostApplication> host;
  Steinberg::IPtr<ComponentHandler> handler = Steinberg::owned(new ComponentHandler);
  Steinberg::IPtr<Steinberg::Vst::IComponent> component;
  Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor;
  Steinberg::IPtr<Steinberg::Vst::IEditController> controller;
};
