#pragma once

// The CLAP plug-in built into the fuzzer: one instance made by its factory
// through clap_entry, initialized, activated and processing as a host does,
// once per process. The fuzzer's thread is both main and audio thread.

#include "clap_events.h"
#include "clap_host.h"
#include "clap_instance.h"
#include "fuzz_output.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

extern "C" const clap_plugin_entry_t clap_entry;

struct FuzzClap
{
  static constexpr int kBlock = 512;

  FuzzClap()
  {
    instance = ClapInstance::CreateLinked(clap_entry, host, nullptr);
    if (!instance) std::abort();
    plugin = instance->Plugin();
    state = instance->Get<clap_plugin_state_t>(kClapExtState);
    params = instance->Get<clap_plugin_params_t>(kClapExtParams);
    if (!state || !params || !instance->Activate(44100.0, 1, kBlock) ||
        !instance->StartProcessing())
      std::abort();
    for (uint32_t i = 0; i < params->count(plugin); ++i)
    {
      clap_param_info_t info{};
      if (params->get_info(plugin, i, &info)) cookies.push_back(info.cookie);
    }
  }

  // Renders frames (at most kBlock) in either precision with the events
  // now in the list, and checks every sample.
  void RenderAndCheck(int frames, bool single, const clap_event_transport_t* transport = nullptr)
  {
    float* singles[2] = {left32, right32};
    double* doubles[2] = {left64, right64};
    ProcessClapPlugin(host, plugin, uint32_t(frames), single ? singles : nullptr, doubles, events,
                      outputs, -1, transport);
    outputs.Clear();
    CheckHostCalls();
    for (int c = 0; c < 2; ++c)
    {
      if (single)
        CheckFuzzOutput(singles[c], frames);
      else
        CheckFuzzOutput(doubles[c], frames);
    }
  }

  // The plug-in keeps to the thread rules of what it calls; the host's
  // record stays small over millions of runs.
  void CheckHostCalls()
  {
    for (const std::string& violation : host.Violations())
    {
      std::fprintf(stderr, "host call against its thread rule: %s\n", violation.c_str());
      std::abort();
    }
    host.ClearRecord();
  }

  ClapHost host{ClapHostOptions{false, false, false}};
  std::unique_ptr<ClapInstance> instance;
  const clap_plugin_t* plugin = nullptr;
  const clap_plugin_state_t* state = nullptr;
  const clap_plugin_params_t* params = nullptr;
  std::vector<void*> cookies; // by parameter index, which is also its id
  ClapInputEvents events;
  ClapOutputEvents outputs;
  float left32[kBlock] = {};
  float right32[kBlock] = {};
  double left64[kBlock] = {};
  double right64[kBlock] = {};
};
