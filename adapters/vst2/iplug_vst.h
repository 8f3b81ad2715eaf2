#pragma once

#include "byte_chunk.h"
#include "plug_base.h"
#include "vst2_interface.h"

class IGraphics;

// Binds the plugin base to a host speaking the VST 2.4 C interface: fills the
// AEffect record the host sees, answers the dispatcher, runs the processing
// and parameter callbacks, and reaches the host through its callback.
//
// Threads: hosts call the dispatcher from their user-interface thread and the
// processing and parameter callbacks from their audio thread. Every entry
// point holds the instance lock while it works, so they never overlap; the
// host is called back only outside it (the time and MIDI queries of a block
// before the lock is taken, notifications after it is released). The
// dispatcher and setParameter, which may allocate deep inside, catch every
// exception: the call answers 0 and the host never unwinds.
class IPlugVST : public IPlugBase
{
public:
  // Constructs the base (API kApiVST2) with the instrument's identity, marks
  // every channel connected and sets a block size of 1024. Throws
  // std::bad_alloc when memory runs out (the entry point answers no
  // instance then).
  IPlugVST(audioMasterCallback host, int nParams, const char* channelIO, int nPresets,
           const char* effectName, const char* productName, const char* makerName, int32_t version,
           int32_t uniqueID, int32_t makerID, bool doesMidi, bool doesStateChunks,
           bool isInstrument);
  ~IPlugVST() override;

  // The record handed to the host; its object field points back here.
  AEffect* GetAEffect() { return &mAEffect; }

  // Host-facing operations of the base, through the host callback.
  void BeginParamGesture(int paramIdx) override;
  void NotifyHostParamValue(int paramIdx, double normalized) override;
  void EndParamGesture(int paramIdx) override;
  void NotifyHostPresetChange() override;
  bool IsOfflineRender() override;
  // Audio thread: each asks the host for its time record.
  int GetSamplePosition() override;
  double GetTempo() override;
  void GetTimeSignature(int& numerator, int& denominator) override;
  void QueryTransport(ITransportInfo& info) override;
  // Asks the host's product string and version once; later calls answer the
  // stored identifier.
  int GetHostId() override;
  void ResizeEditor(int width, int height) override;
  void HostSpecificSetup() override;
  void AttachEditor(IPlugEditor* editor) override;
  void SetLatency(int frames) override;
  bool SendMidiEvent(const IMidiEvent& message) override;
  bool SendSysExMessage(const ISysEx& message) override;

private:
  // The callbacks in the AEffect record. Each finds the plug-in through the
  // record's object field and holds the instance lock.
  static IPlugVST* FromEffect(AEffect* effect);
  static VstIntPtr DispatcherCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                      VstIntPtr value, void* ptr, float opt);
  static void ProcessAccumulatingCallback(AEffect* effect, float** inputs, float** outputs,
                                          VstInt32 frames);
  static void ProcessReplacingCallback(AEffect* effect, float** inputs, float** outputs,
                                       VstInt32 frames);
  static void ProcessDoubleReplacingCallback(AEffect* effect, double** inputs, double** outputs,
                                             VstInt32 frames);
  static void SetParameterCallback(AEffect* effect, VstInt32 index, float value);
  static float GetParameterCallback(AEffect* effect, VstInt32 index);

  // Dispatcher opcodes, lock held (iplug_vst_dispatcher.cpp).
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  void OpenPlug();
  void SetProgram(int presetIdx);
  void SetSampleRateFromHost(float sampleRate);
  void SetBlockSizeFromHost(VstIntPtr frames);
  VstIntPtr GetChunk(bool bank, void* ptr);
  VstIntPtr SetChunk(bool bank, VstIntPtr size, const void* data);
  // The size of a bare state chunk (no header), or -1.
  int StateChunkSize();
  VstIntPtr ProcessEvents(const VstEvents* events);
  VstIntPtr StringToParameter(int paramIdx, const char* text);
  VstIntPtr GetPinProperties(bool input, int channel, VstPinProperties* properties) const;
  // The full name as label, the short name and the switch flag.
  VstIntPtr GetParameterProperties(int paramIdx, VstParameterProperties* properties) const;
  VstIntPtr SetSpeakerArrangement(const VstSpeakerArrangement* input,
                                  const VstSpeakerArrangement* output);
  VstIntPtr VendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr CanDo(const char* text) const;
  VstIntPtr GetMidiKeyName(MidiKeyName* keyName);

  // Editor opcodes (iplug_vst_editor.cpp). Opening, closing and idling are
  // called without the instance lock, as the window's own messages are: they
  // wait for the editor's event thread, whose work takes the lock; they take it
  // themselves for the rest.
  IGraphics* Graphics() const;
  void SetEditRectFrom(const IGraphics& graphics);
  VstIntPtr EditGetRect(void* ptr);
  VstIntPtr EditOpen(void* parentWindow);
  VstIntPtr EditClose();
  // What keeps the open editor's events and timer running where the window
  // system does not (iplug_vst_editor_events_win.cpp, _posix.cpp).
  struct EditorEvents;
  void StartEditorEvents();
  void StopEditorEvents();
  VstIntPtr EditIdle();

  // Processing (iplug_vst_process.cpp). Before the lock: asks the host for
  // MIDI and answers its tempo. The rest with the lock held.
  double AskHostBeforeBlock();
  // Holds the instance lock for one block, during which GetTempo answers
  // the tempo asked before it.
  class BlockTempo
  {
  public:
    BlockTempo(IPlugVST& plug, double tempo);
    ~BlockTempo();
    BlockTempo(const BlockTempo&) = delete;
    BlockTempo& operator=(const BlockTempo&) = delete;

  private:
    IPlugVST& mPlug;
    CriticalSectionLock mLock;
  };
  void AskForMidi();
  void ProcessFromHost(float** inputs, float** outputs, VstInt32 frames, EOutputMode mode);
  void ProcessDoubleFromHost(double** inputs, double** outputs, VstInt32 frames);

  // Host queries (iplug_vst_host.cpp).
  VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  const VstTimeInfo* HostTimeInfo(VstInt32 mask);
  // Hands one event to the host; true when the host took it.
  bool SendEventToHost(VstEvent* event);

  void UpdateArrangementsFromChannels();

  ERect mEditRect{};
  VstSpeakerArrangement mInputArrangement{};
  VstSpeakerArrangement mOutputArrangement{};
  audioMasterCallback mHostCallback;
  bool mHostSetupDone = false;
  bool mInBlock = false;
  double mBlockTempo = 0.0;
  // Hold the last chunks handed to the host: the pointers it receives stay
  // valid until the next request of the same kind or until the plug-in closes.
  ByteChunk mProgramChunk;
  ByteChunk mBankChunk;
  AEffect mAEffect{};
  // Owned; made and deleted by the platform file.
  EditorEvents* mEditorEvents = nullptr;
};
