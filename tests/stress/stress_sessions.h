#pragma once

// One plug-in instance driven the way a host drives it, in any format and
// either sample size, behind one small interface so the stress test runs
// the same sequences through each. Every rendered block is checked: finite,
// within +-1.2 (the float nearest 1.2 in single precision) and, there,
// never subnormal.

#include "vst2_interface.h"

#include "pluginterfaces/base/ipluginbase.h"

#include "clap_abi.h"

#include <memory>
#include <string>
#include <vector>

struct MidiBytes
{
  int offset;
  unsigned char status, data1, data2;
};

class StressSession
{
public:
  virtual ~StressSession() = default;
  // Stops processing, sets rate and largest block, resumes (a host's reset).
  virtual void Restart(double sampleRate, int maxBlock) = 0;
  virtual void Automate(int param, double normalized) = 0;
  virtual void SetBypass(bool bypassed) = 0;
  // MIDI for the next block. VST3 hosts pass notes only: the others are
  // dropped there as a host would.
  virtual void QueueMidi(const MidiBytes& message) = 0;
  virtual void Process(int frames) = 0;
  // Host calls of the user-interface side, safe on any thread but the one
  // processing: state, and parameter changes a host makes outside
  // processing (VST2 setParameter, VST3 controller's setParamNormalized).
  virtual std::vector<char> SaveState() = 0;
  virtual bool RestoreState(const std::vector<char>& state) = 0;
  virtual void SetFromUserInterface(int param, double normalized) = 0;
  // The plug-in object behind the host interface: the IPlugVST of the
  // AEffect, or the VST3 component.
  virtual void* PlugObject() = 0;

  // Samples that broke the rules so far, and the first of them.
  long long badSamples = 0;
  std::string firstBad;
  // Non-zero samples below the smallest normal float, in either precision.
  long long tinySamples = 0;

protected:
  template <typename Sample>
  void Check(const Sample* samples, int frames);
};

// The built plug-ins, loaded from disk, or, given an entry point, the ones
// linked into the program. singlePrecision picks processReplacing / 32-bit
// process, else the 64-bit paths.
std::unique_ptr<StressSession> OpenVst2Session(bool singlePrecision,
                                               VstPluginMainProc builtIn = nullptr);
std::unique_ptr<StressSession> OpenVst3Session(bool singlePrecision,
                                               Steinberg::IPluginFactory* (*builtIn)() = nullptr);
// The CLAP plug-in linked into the program, reached through its entry.
std::unique_ptr<StressSession> OpenClapSession(bool singlePrecision,
                                               const clap_plugin_entry_t& entry);
