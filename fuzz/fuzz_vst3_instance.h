#pragma once

// The VST3 plug-in built into the fuzzer: one instance made by its factory,
// initialized, set up and processing as a host does, once per process.

#include "fuzz_output.h"
#include "host_application.h"
#include "process_block.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();

struct FuzzVst3
{
  static constexpr int kBlock = 512;
  FuzzVst3()
  {
    using namespace Steinberg;
    using namespace Vst;
    const FUID classId(0xF2AEE70D, 0x00DE4F4E, 0x56726E61, 0x56726335);
    IPluginFactory* factory = GetPluginFactory();
    if (!factory || factory->createInstance(classId.toTUID(), IComponent::iid,
                                            reinterpret_cast<void**>(&component)) != kResultOk)
      std::abort();
    if (component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor)) !=
            kResultOk ||
        component->initialize(host->unknownCast()) != kResultOk)
      std::abort();
    for (int32 size : {kSample64, kSample32})
    {
      ProcessSetup setup{kRealtime, size, kBlock, 44100.0};
      if (processor->setupProcessing(setup) != kResultOk) std::abort();
    }
    component->activateBus(kAudio, kOutput, 0, true);
    component->activateBus(kEvent, kInput, 0, true);
    component->setActive(true);
    processor->setProcessing(true);
  }
  // Renders one block of frames (at most kBlock) in the sample size of
  // block, with whatever events and changes it holds, and checks it.
  void RenderAndCheck(ProcessBlock& block, int frames)
  {
    Steinberg::Vst::ProcessData& data = block.Data(frames);
    processor->process(data);
    const Steinberg::Vst::AudioBusBuffers& out = data.outputs[0];
    for (int c = 0; c < out.numChannels; ++c)
    {
      if (&block == &single)
        CheckFuzzOutput(out.channelBuffers32[c], frames);
      else
        CheckFuzzOutput(out.channelBuffers64[c], frames);
    }
  }
  Steinberg::IPtr<HostApplication> host = Steinberg::owned(new HostApplication("Fuzz Host"));
  Steinberg::Vst::IComponent* component = nullptr;
  Steinberg::Vst::IAudioProcessor* processor = nullptr;
  ProcessBlock single{Steinberg::Vst::kSample32, {2}, {2}, kBlock};
  ProcessBlock wide{Steinberg::Vst::kSample64, {2}, {2}, kBlock};
};
