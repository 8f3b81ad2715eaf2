#pragma once

// A small VST 2.4 host: loads a built plug-in binary, creates instances
// through its exported entry point with a host callback that answers what
// the plug-in asks (time info, sample rate, block size, host identity), and
// drives the dispatcher and the processing callbacks. Single-threaded: the
// caller's thread is both the host's audio and user-interface thread.

#include "plugin_library.h"
#include "vst2_interface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Input and output channel buffers of one processing call, filled with a
// value so tests can see what the plug-in wrote and what it left alone.
template <typename Sample>
class AudioBuffers
{
public:
  AudioBuffers(int inputs, int outputs, int frames, Sample fill = Sample(0))
      : in(inputs, std::vector<Sample>(frames, fill)),
        out(outputs, std::vector<Sample>(frames, fill))
  {
    for (auto& channel : in)
      mInputPointers.push_back(channel.data());
    for (auto& channel : out)
      mOutputPointers.push_back(channel.data());
  }

  Sample** Inputs() { return mInputPointers.data(); }
  Sample** Outputs() { return mOutputPointers.data(); }
  int Frames() const
  {
    return out.empty() ? (in.empty() ? 0 : int(in[0].size())) : int(out[0].size());
  }

  std::vector<std::vector<Sample>> in;
  std::vector<std::vector<Sample>> out;

private:
  std::vector<Sample*> mInputPointers;
  std::vector<Sample*> mOutputPointers;
};

// Builds the VstEvents record a host hands to effProcessEvents: any number of
// MIDI and system-exclusive events in the order they were added, plus empty
// entries as some hosts leave them.
class Vst2EventList
{
public:
  void AddMidi(VstInt32 deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
  void AddSysex(VstInt32 deltaFrames, const std::vector<char>& bytes);
  void AddEmptyEntry();
  void AddOtherType(VstInt32 type, VstInt32 deltaFrames);

  // The record; valid until the list changes or is destroyed.
  VstEvents* Build();

  int Size() const { return int(mOrder.size()); }

private:
  std::vector<std::unique_ptr<VstMidiEvent>> mMidi;
  std::vector<std::unique_ptr<VstMidiSysexEvent>> mSysex;
  std::vector<std::unique_ptr<VstEvent>> mOther;
  std::vector<std::unique_ptr<std::vector<char>>> mSysexBytes;
  std::vector<VstEvent*> mOrder;
  std::vector<unsigned char> mRecord;
};

class Vst2Host
{
public:
  // Loads the binary at pluginPath; an empty path loads nothing, for
  // plug-ins built into the program (InstantiateFrom).
  explicit Vst2Host(const std::string& pluginPath = std::string());
  virtual ~Vst2Host(); // closes every instance still open, then unloads the binary
  Vst2Host(const Vst2Host&) = delete;
  Vst2Host& operator=(const Vst2Host&) = delete;

  const PluginLibrary& Library() const { return mLibrary; }

  // Calls the exported entry (VSTPluginMain or main) with this host's
  // callback. Returns the plug-in's record, or null when the entry is missing
  // or returned none. The host keeps the instance until Close.
  AEffect* Instantiate(const char* entryName = "VSTPluginMain");
  // The same with an entry function of the program itself, for plug-ins
  // built into it.
  AEffect* InstantiateFrom(VstPluginMainProc entry);
  // The usual start of a host: effOpen, sample rate, block size, mains on.
  AEffect* InstantiateAndStart(double sampleRate = 44100.0, VstInt32 blockSize = 1024);
  void Close(AEffect* effect);

  VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     void* ptr = nullptr, float opt = 0.0f);
  std::string DispatchForText(AEffect* effect, VstInt32 opcode, VstInt32 index = 0);
  VstIntPtr SendEvents(AEffect* effect, Vst2EventList& events);
  VstIntPtr CanDo(AEffect* effect, const char* text);

  void ProcessReplacing(AEffect* effect, AudioBuffers<float>& buffers, VstInt32 frames);
  void ProcessAccumulating(AEffect* effect, AudioBuffers<float>& buffers, VstInt32 frames);
  void ProcessDoubleReplacing(AEffect* effect, AudioBuffers<double>& buffers, VstInt32 frames);

  // What the host answers. Change before the plug-in asks.
  std::string productName = "Thudwerk Host";
  std::string vendorName = "Thudwerk";
  VstInt32 vendorVersion = 10203; // 1.2.3 written the way VST2 hosts write versions
  VstInt32 hostVstVersion = 2400;
  VstInt32 processLevel = kVstProcessLevelRealtime;
  double sampleRate = 44100.0;
  VstInt32 blockSize = 1024;
  bool timeInfoAvailable = true;
  VstTimeInfo timeInfo{};
  std::vector<std::string> canDo{"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                                 "receiveVstEvents", "receiveVstMidiEvent"};

protected:
  // Answers one call the plug-in made to the host callback. Events the
  // plug-in sends are not taken (answer 0).
  virtual VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

private:
  static VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt);

  PluginLibrary mLibrary;
  std::vector<AEffect*> mOpenEffects;
};
