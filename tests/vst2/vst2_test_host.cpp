#include "vst2_test_host.h"

#include <algorithm>
#include <chrono>
#include <thread>

Vst2TestHost::Vst2TestHost(const std::string& pluginPath) : Vst2Host(pluginPath)
{
  productName = "Thudwerk Test Host";
}

int Vst2TestHost::CountCalls(VstInt32 opcode) const
{
  return int(std::count_if(calls.begin(), calls.end(),
                           [opcode](const HostCall& call) { return call.opcode == opcode; }));
}

void Vst2TestHost::ClearRecords()
{
  calls.clear();
  receivedMidi.clear();
  receivedSysex.clear();
  timeInfoRequests.clear();
}

bool Vst2TestHost::PlayUntil(AEffect* effect, const std::function<bool()>& arrived, int maxBlocks)
{
  AudioBuffers<double> buffers(2, 2, 64);
  for (int block = 0; block < maxBlocks; ++block)
  {
    if (arrived()) return true;
    ProcessDoubleReplacing(effect, buffers, 64);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return arrived();
}

VstIntPtr Vst2TestHost::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt)
{
  calls.push_back(HostCall{opcode, index, value, opt});
  if (opcode == audioMasterGetTime) timeInfoRequests.push_back(VstInt32(value));
  if (opcode != audioMasterProcessEvents) return Vst2Host::Answer(opcode, index, value, ptr, opt);

  const auto* events = static_cast<const VstEvents*>(ptr);
  if (!events) return 0;
  for (VstInt32 i = 0; i < events->numEvents; ++i)
  {
    const VstEvent* event = events->events[i];
    if (!event) continue;
    if (event->type == kVstMidiType)
      receivedMidi.push_back(*reinterpret_cast<const VstMidiEvent*>(event));
    else if (event->type == kVstSysExType)
    {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      receivedSysex.emplace_back(sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
    }
  }
  return processEventsAnswer;
}
