#pragma once

// The VST 2.4 host of the tests: the project's host with everything the
// plug-in sends to it recorded for the test to inspect.

#include "vst2_host.h"

#include <functional>
#include <string>
#include <vector>

// One call the plug-in made to the host callback.
struct HostCall
{
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  float opt;
};

class Vst2TestHost : public Vst2Host
{
public:
  explicit Vst2TestHost(const std::string& pluginPath = std::string());

  // The answer to audioMasterProcessEvents.
  VstIntPtr processEventsAnswer = 1;

  // What the plug-in sent.
  std::vector<HostCall> calls;
  std::vector<VstMidiEvent> receivedMidi;
  std::vector<std::vector<char>> receivedSysex;
  std::vector<VstInt32> timeInfoRequests; // the flag masks of audioMasterGetTime

  int CountCalls(VstInt32 opcode) const;
  void ClearRecords();

  // Plays blocks of 64 frames, a millisecond apart as a host's audio thread
  // does, until arrived answers true (then true) or maxBlocks have passed
  // (then false): for what the plug-in does on a thread of its own.
  bool PlayUntil(AEffect* effect, const std::function<bool()>& arrived, int maxBlocks = 1000);

protected:
  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
};
