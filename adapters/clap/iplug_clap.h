#pragma once

#include "clap_abi.h"
#include "plug_base.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class IGraphics;

// Binds the plugin base to a CLAP host: the clap_plugin_t the factory hands
// out and its extensions (audio and note ports, params, state, tail, gui,
// timer and descriptor support, preset load). The instrument derives from
// it in the CLAP build.
//
// Threads, as the CLAP thread rules give them: the main thread creates,
// initializes, activates, saves and loads state, runs the editor and asks
// for parameter texts; the audio thread processes, flushes parameters while
// active and resets, holding the instance lock for the call and allocating
// nothing. Host calls keep their own thread rules: main-thread-only ones
// are made on the main thread (or deferred to on_main_thread), and the
// host is never called with the instance lock held.
class IPlugCLAP : public IPlugBase
{
public:
  // Constructs the base (API kApiCLAP) with every output connected. Keeps
  // the host for later: creation makes no host call. Throws std::bad_alloc
  // when memory runs out (the factory then answers no instance).
  IPlugCLAP(const clap_host_t* host, int nParams, const char* channelIO, int nPresets,
            const char* effectName, const char* productName, const char* makerName, int32_t version,
            int32_t uniqueID, int32_t makerID, bool doesMidi, bool doesStateChunks,
            bool isInstrument);
  ~IPlugCLAP() override;

  // The plug-in record the host drives; plugin_data points back here.
  const clap_plugin_t* ClapPlugin() const { return &mPlugin; }
  static IPlugCLAP* From(const clap_plugin_t* plugin);

  // Host-facing operations of the base.
  // Editor thread: queued for the next process or flush, with a flush
  // request to the host.
  void BeginParamGesture(int paramIdx) override;
  void NotifyHostParamValue(int paramIdx, double normalized) override;
  void EndParamGesture(int paramIdx) override;
  // The host reads every value again: at once on the main thread, else
  // from on_main_thread.
  void NotifyHostPresetChange() override;
  // Audio thread: answered from the transport of the last block.
  int GetSamplePosition() override;
  double GetTempo() override;
  void GetTimeSignature(int& numerator, int& denominator) override;
  void QueryTransport(ITransportInfo& info) override;
  // Asks the host's gui for the new size.
  void ResizeEditor(int width, int height) override;
  bool SendMidiEvent(const IMidiEvent&) override { return false; }

  // The attached editor as the editor framework's class, or null.
  IGraphics* Graphics() const;

  // What one extension table needs of the instance (the extensions live in
  // their own files).
  const clap_host_t* Host() const { return mHost; }
  template <typename Extension>
  const Extension* HostExtension(const char* id) const
  {
    return mHost && mHost->get_extension
               ? static_cast<const Extension*>(mHost->get_extension(mHost, id))
               : nullptr;
  }
  bool OnMainThread() const { return std::this_thread::get_id() == mMainThread; }
  bool IsActive() const { return mActive; }

  // Parameters (iplug_clap_params.cpp).
  static const clap_plugin_params_t kParamsExtension;
  // State (iplug_clap_state.cpp).
  static const clap_plugin_state_t kStateExtension;
  // Editor (iplug_clap_gui.cpp) and its event sources on Linux
  // (iplug_clap_gui_posix.cpp).
  static const clap_plugin_gui_t kGuiExtension;
  static const clap_plugin_timer_support_t kTimerSupportExtension;
  static const clap_plugin_posix_fd_support_t kPosixFdSupportExtension;
  // Preset load (iplug_clap_presets.cpp).
  static const clap_plugin_preset_load_t kPresetLoadExtension;

  // Audio thread or main thread while inactive, lock held: the host's
  // parameter values of a list, in order. Unknown ids and other spaces
  // change nothing.
  void ApplyParamEvents(const clap_input_events_t* in);
  // Lock held: the editor's queued gestures and values, then (when a
  // preset or controller changed values) every changed value marked
  // DONT_RECORD. True when the host should read every value again
  // (RequestRescan, lock released).
  bool PushOutputEvents(const clap_output_events_t* out);
  // Any thread: the host reads every value again, from on_main_thread.
  void RequestRescan();

  // Editor (iplug_clap_gui.cpp).
  bool GuiCreate(const char* api, bool isFloating);
  void GuiDestroy();
  bool GuiSetParent(const clap_window_t* window);
  bool GuiShow(bool visible);
  // Platform parts (iplug_clap_gui_win.cpp, iplug_clap_gui_posix.cpp).
  static const char* GuiApi();
  static void* ParentHandle(const clap_window_t& window);
  void StartEditorEvents();
  void StopEditorEvents();
  void OnTimer(clap_id timerId);
  void OnFd(int fd, uint32_t flags);

private:
  // The clap_plugin_t functions.
  static bool Init(const clap_plugin_t* plugin);
  static void Destroy(const clap_plugin_t* plugin);
  static bool Activate(const clap_plugin_t* plugin, double sampleRate, uint32_t minFrames,
                       uint32_t maxFrames);
  static void Deactivate(const clap_plugin_t* plugin);
  static bool StartProcessing(const clap_plugin_t* plugin);
  static void StopProcessing(const clap_plugin_t* plugin);
  static void ResetPlugin(const clap_plugin_t* plugin);
  static clap_process_status Process(const clap_plugin_t* plugin, const clap_process_t* process);
  static const void* GetExtension(const clap_plugin_t* plugin, const char* id);
  static void OnMainThreadCallback(const clap_plugin_t* plugin);

  // process's parts (iplug_clap_process.cpp).
  clap_process_status ProcessBlock(const clap_process_t& process);
  void ReadTransport(const clap_event_transport_t* transport);
  void HandleNoteEvents(const clap_input_events_t* in);
  bool RenderOutputs(const clap_process_t& process);
  // SLEEP once the output stayed silent long enough after the last input.
  clap_process_status QuietStatus(const clap_process_t& process, bool hadEvents);

  // A notification the editor queued for the host.
  struct EditorEvent
  {
    uint16_t type;
    clap_id paramId;
    double value;
  };
  // Editor thread: queues under the lock (dropped when the queue is full),
  // then asks the host for a flush.
  void QueueEditorEvent(uint16_t type, int paramIdx, double value);

  clap_plugin_t mPlugin;
  const clap_host_t* mHost;
  std::thread::id mMainThread;
  bool mActive = false;

  // Transport of the last block, read on the audio thread.
  double mTempo = 120.0;
  int mNumerator = 4;
  int mDenominator = 4;
  double mSongPosBeats = 0.0;
  double mSongPosSeconds = 0.0;
  double mBarStartBeats = 0.0;
  double mLoopStartBeats = 0.0;
  double mLoopEndBeats = 0.0;
  bool mPlaying = false;
  bool mLooping = false;

  // Guarded by the lock; capacity reserved at construction.
  std::vector<EditorEvent> mEditorEvents;
  // The value the host last heard of, per parameter; guarded by the lock.
  std::vector<double> mReportedValues;
  // Frames of exact silence since the last input event; audio thread.
  int64_t mQuietFrames = 0;
  // The tail the host last heard of; audio thread.
  int mReportedTail = -1;
  std::atomic<bool> mRescanPending{false};

  // The open editor's event sources (platform part); main thread.
  struct EditorEvents;
  EditorEvents* mEditorEventSources = nullptr;
  bool mGuiCreated = false;
  bool mGuiVisible = false;
};
