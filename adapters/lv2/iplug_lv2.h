#pragma once

#include "lv2_identity.h"
#include "plug_base.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <vector>

// What a module entry hands the adapter: the host's instantiate arguments.
// The editor side (the UI library) also passes where port values go.
struct Lv2HostContext
{
  double sampleRate = 44100.0;
  const LV2_Feature* const* features = nullptr;
  LV2UI_Write_Function writePort = nullptr;
  LV2UI_Controller controller = nullptr;
};

// Binds the plugin base to an LV2 host. One class serves both sides of the
// format: the plug-in instance (ports, run, state) and the editor's
// instance in the UI library, which shares nothing with the former but the
// port values: the host's port events set its parameters, and its own
// changes go back out as port writes.
//
// Parameters are control ports in plain units, owned by the host: a port
// value that differs from the last one seen is applied as a host parameter
// change at the start of the block, so the instrument's own changes (preset
// loads, MIDI controllers, a restored state) hold until the host moves that
// port again.
//
// Threads: Run is the audio thread, holds the instance lock and allocates
// nothing; ConnectPort stores a pointer only. Activate, SaveState and
// RestoreState come from the host's other threads (never during Run: the
// plug-in does not offer a thread-safe restore) and take the lock. The
// editor side runs on the host's user-interface thread.
class IPlugLV2 : public IPlugBase
{
public:
  // Constructs the base (API kApiLV2) at the host's sample rate, maps the
  // URIs it needs and reads the block-length and scale options. A missing
  // URI map leaves HasUridMap false; the entry then refuses the instance.
  IPlugLV2(const Lv2HostContext* host, int nParams, const char* channelIO, int nPresets,
           const char* effectName, const char* productName, const char* makerName, int32_t version,
           int32_t uniqueID, int32_t makerID, bool doesMidi, bool doesStateChunks,
           bool isInstrument);

  bool HasUridMap() const { return mMap != nullptr; }

  // Plug-in side.
  void ConnectPort(uint32_t port, void* data);
  // Sizes the buffers for the block length and resets the plug-in.
  void Activate();
  // Audio thread.
  void Run(uint32_t frames);
  // The blob of the VST 3 state (state chunk and bypass word) under one
  // key, as an atom:Chunk.
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  // A missing key, another type or a blob of another size changes nothing
  // and answers failure. The restored values win over the host's port
  // values until the host moves a port.
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // Editor side: a control port the host changed (float protocol only).
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  // The host's display scale from the UI options, or 0 when not given.
  float HostScaleFactor() const { return mScaleFactor; }
  // What the editor's window sizes are sent to (the host's ui:resize).
  const LV2UI_Resize* UiResize() const { return mUiResize; }

  // Host-facing operations of the base. On the editor side they become port
  // writes and touch gestures; on the plug-in side there is nobody to tell.
  void BeginParamGesture(int paramIdx) override;
  void NotifyHostParamValue(int paramIdx, double normalized) override;
  void EndParamGesture(int paramIdx) override;
  // Writes every port whose parameter no longer has the host's value.
  void NotifyHostPresetChange() override;
  // The plug-in reads no transport: no tempo, position or signature.
  int GetSamplePosition() override { return 0; }
  double GetTempo() override { return 0.0; }
  void GetTimeSignature(int& numerator, int& denominator) override;
  void QueryTransport(ITransportInfo&) override {}
  void ResizeEditor(int width, int height) override;
  bool SendMidiEvent(const IMidiEvent&) override { return false; }

private:
  struct Urids
  {
    LV2_URID midiEvent = 0;
    LV2_URID atomChunk = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomFloat = 0;
    LV2_URID stateKey = 0;
    LV2_URID maxBlockLength = 0;
    LV2_URID nominalBlockLength = 0;
    LV2_URID scaleFactor = 0;
  };
  void ReadFeatures(const LV2_Feature* const* features);
  void ReadOptions(const void* options);
  // Lock held: applies the parameter ports that changed, at block start.
  void ApplyPortChanges();
  // Lock held: the block's MIDI into the base's queue with frame offsets.
  void HandleAtomEvents();
  // Fades the block towards the enable port's state; true once silent.
  void FadeOutputs(float* const* outputs, int frames, bool enabled);
  // Lock held: whether a port value is the host's first or differs from
  // the last one it gave; it becomes the last one.
  bool PortValueChanged(int paramIdx, float value);
  // The plain value a port value stands for: switches are on above 0.
  double PlainFromPort(int paramIdx, float value) const;
  bool IsParamPort(uint32_t port) const;
  // Editor side: whether the host hears of the parameter's changes. Preset
  // actions stay in the editor; their results go out as the sound
  // parameters they change.
  bool ForwardsToHost(int paramIdx) const;
  void WritePort(int paramIdx, float value);

  LV2_URID_Map* mMap = nullptr;
  Urids mUrids;
  int mBlockLength = 0;
  float mScaleFactor = 0.0f;
  const LV2UI_Resize* mUiResize = nullptr;
  const LV2UI_Touch* mUiTouch = nullptr;
  LV2UI_Write_Function mWritePort = nullptr;
  LV2UI_Controller mController = nullptr;

  const void* mEventsPort = nullptr;
  float* mOutputs[2] = {nullptr, nullptr};
  const float* mEnabledPort = nullptr;
  std::vector<const float*> mParamPorts;
  // Per parameter, the port value last seen from the host (or restored, or
  // written by the editor; NaN before any). Guarded by the lock on the
  // plug-in side; the editor side touches it on the user-interface thread
  // only.
  std::vector<float> mHostPortValues;
  // After a restore the next port values are taken as they are.
  bool mAdoptPortValues = false;
  // The enable fade: the gain, and whether a finished fade-out silenced
  // the plug-in (it is reset when enabled again).
  double mGain = 1.0;
  bool mSilenced = false;
};
