#pragma once

// The VST2 plug-in built into the fuzzer, created through VSTPluginMain and
// started as a host does, once per process.

#include "fuzz_output.h"
#include "vst2_host.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

struct FuzzVst2
{
  static constexpr int kBlock = 512;
  FuzzVst2()
  {
    effect = host.InstantiateFrom(VSTPluginMain);
    if (!effect) std::abort();
    host.Dispatch(effect, effOpen);
    host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(effect, effSetBlockSize, 0, kBlock);
    host.Dispatch(effect, effMainsChanged, 0, 1);
  }
  // Renders frames (at most kBlock) in both precisions and checks them.
  void RenderAndCheck(int frames)
  {
    host.ProcessReplacing(effect, single, frames);
    host.ProcessDoubleReplacing(effect, wide, frames);
    for (int c = 0; c < 2; ++c)
    {
      CheckFuzzOutput(single.out[c].data(), frames);
      CheckFuzzOutput(wide.out[c].data(), frames);
    }
  }
  Vst2Host host;
  AEffect* effect = nullptr;
  AudioBuffers<float> single{2, 2, kBlock};
  AudioBuffers<double> wide{2, 2, kBlock};
};
