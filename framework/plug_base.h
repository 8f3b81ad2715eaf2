#pragma once

#include "byte_chunk.h"
#include "channel_io.h"
#include "critical_section.h"
#include "latency_delay_line.h"
#include "midi_event.h"
#include "plug_editor.h"
#include "plug_param.h"
#include "plug_preset.h"
#include "transport_info.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Which host adapter drives the plug-in.
enum EApiKind : int32_t
{
  kApiVST2 = 0,
  kApiVST3 = 1,
  kApiCLAP = 2,
};

// How RunBlock and BypassBlock hand single-precision output to the host.
enum EOutputMode
{
  kReplaceOutput,    // host buffer = result
  kAccumulateOutput, // host buffer += result (the VST2 accumulating callback)
};

constexpr int kIdentityTextSize = 128;

// The host-independent core of the plug-in: identity, channel
// configurations and buffers, parameters, presets, state chunks, the
// attached editor and the instance lock. The adapters derive from it and
// implement the host-facing operations; the instrument overrides the
// processing hooks.
//
// Threads: the host calls from its audio thread and its user-interface
// thread. The instance lock (GetLock) serializes them; it is recursive, so
// anything below may be called by code that already holds it. Operations
// marked "audio thread" allocate nothing; the others may allocate.
class IPlugBase
{
public:
  // Builds nParams undefined parameters and nPresets empty presets and the
  // channels of the largest configuration in channelIO. Throws std::bad_alloc
  // when memory runs out (the module entry turns that into a null instance).
  IPlugBase(int nParams, const char* channelIO, int nPresets, const char* effectName,
            const char* productName, const char* makerName, int32_t version, int32_t uniqueID,
            int32_t makerID, bool doesMidi, bool doesStateChunks, bool isInstrument, EApiKind api);
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // Virtual operations, in slot order.

  // Deletes the attached editor, then everything else.
  virtual ~IPlugBase();
  // Processing starts, or the sample rate or block size changed.
  virtual void Reset();
  // A parameter's value changed (host, restored state, editor, instrument).
  virtual void HandleParamChange(int paramIdx);
  // Audio thread, lock held. Default: output i = input i for i below both
  // channel counts, other outputs zeroed.
  virtual void ProcessDouble(double** inputs, double** outputs, int frames);
  // Audio thread. The same pass-through on single-precision buffers.
  virtual void ProcessSingle(float** inputs, float** outputs, int frames);
  // User-interface thread, after the editor window opened.
  virtual void OnEditorOpen() {}
  // User-interface thread, before the editor window closes.
  virtual void OnEditorClose() {}
  virtual void OnActivate(bool active);
  // Audio thread, lock held by the adapter. Default: sends it back out.
  virtual void HandleMidiEvent(const IMidiEvent& message);
  virtual void HandleSysEx(const ISysEx& /*message*/) {}
  // Writes the name of a note into text (textSize bytes); default "" and
  // false.
  virtual bool NoteName(int noteNumber, char* text, int textSize);
  // Appends the state chunk; false when it could not be written.
  virtual bool SaveStateChunk(ByteChunk& chunk);
  // Reads the state chunk at startPos; the position after it, or -1.
  virtual int LoadStateChunk(const ByteChunk& chunk, int startPos);
  // True when every parameter matches, in single precision within 0.00001,
  // the double stored for it at startPos + 8 * index in bytes[0, size).
  // Missing bytes make it false.
  virtual bool CompareState(const unsigned char* bytes, int size, int startPos);
  virtual void OnEditorResized() {}
  // User-interface thread: the host's display scale for the editor (a
  // positive, finite factor). True when the plug-in follows it, changing
  // its editor's layout and size (ResizeEditor) where needed; false when
  // the editor has one size only.
  virtual bool SetEditorContentScale(double /*contentScale*/) { return false; }
  virtual void AfterHostIdentified() {}
  virtual void ShowHostParamMenu(int /*paramIdx*/, int /*x*/, int /*y*/) {}
  // Editor thread: sets the parameter and calls HandleParamChange under the
  // lock, then tells the host and completes the deferred work outside it.
  // Unknown indices are ignored.
  virtual void SetParameterFromEditor(int paramIdx, double normalized);
  // Host notifications. Never called with the lock held: a host whose
  // callback waits for its own engine lock while its audio thread waits for
  // ours would deadlock.
  virtual void BeginParamGesture(int paramIdx) = 0;
  virtual void NotifyHostParamValue(int paramIdx, double normalized) = 0;
  virtual void EndParamGesture(int paramIdx) = 0;
  virtual void NotifyHostPresetChange() = 0;
  virtual bool IsOfflineRender() { return false; }
  // Time queries, answered by the adapter from its host; audio thread.
  virtual int GetSamplePosition() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSignature(int& numerator, int& denominator) = 0;
  // Overwrites the fields of info that the host reports.
  virtual void QueryTransport(ITransportInfo& info) = 0;
  virtual int GetHostId() { return mHost; }
  virtual int GetApiKind() { return mApi; }
  virtual void ResizeEditor(int width, int height) = 0;
  virtual void HostSpecificSetup() {}
  // Takes ownership of the editor, hands it every parameter's normalized
  // value and readies it for drawing, under the lock. Null changes nothing;
  // an editor attached before is deleted.
  virtual void AttachEditor(IPlugEditor* editor);
  // Stores the latency and resizes the latency delay line, if there is one.
  // A negative latency counts as 0.
  virtual void SetLatency(int frames);
  // Answers whether the host took the message.
  virtual bool SendMidiEvent(const IMidiEvent& message) = 0;
  virtual bool SendSysExMessage(const ISysEx& /*message*/) { return false; }
  // Pushes every parameter's plain value into the editor's controls.
  virtual void RefreshParamControls();
  // After a preset was restored or the host renamed the current preset.
  virtual void OnHostPresetsChanged() {}
  // Whether a host writing the same value again still calls
  // HandleParamChange. Default true; parameters that act on every change
  // (file actions, triggers that rest at another value) answer false: for
  // them a host value equal to the last one the host sent (before any, the
  // default) triggers nothing, so a host restoring values one by one or
  // resending an automation point changes nothing.
  virtual bool ActsOnUnchangedValue(int /*paramIdx*/) const { return true; }
  // Any thread but the audio thread, lock not held: runs the work that
  // HandleParamChange left for later because it may wait for the disk.
  // Default nothing.
  virtual void RunDeferredWork() {}
  // Resizes every channel's scratch buffer to frames and zeroes it; the same
  // size changes nothing. Allocates: never on the audio path. Negative sizes
  // and failed allocation keep the old buffers.
  virtual void SetBlockSize(int frames);
  // Frames the output goes on sounding after the input (or the last note)
  // ends, at the current settings; any thread. Default the tail size.
  virtual int TailFrames() const { return mTailSize; }
  // The editor section a parameter belongs to ("Bass", "Reverb"), for hosts
  // that group parameters by it; default its group.
  virtual const char* ParamSection(int paramIdx) const;
  // User-interface thread, lock not held: loads a preset file (UTF-8 path)
  // as the editor's load prompt does. False, changing nothing, when the
  // plug-in has no preset files or the file cannot be read.
  virtual bool LoadPresetFile(const std::string& /*path*/) { return false; }

  // Parameters. Indices outside [0, ParamCount ()) give null.
  IPlugParam* GetParam(int paramIdx);
  const IPlugParam* GetParam(int paramIdx) const;
  int ParamCount() const { return static_cast<int>(mParams.size()); }
  // A host set a parameter: the value, then the editor's controls, then
  // HandleParamChange, under the lock. Unknown indices are ignored, and so
  // is a resent value of a parameter that does not act on one. Audio
  // thread; allocates nothing.
  void SetParameterFromHost(int paramIdx, double normalized);
  // Lock held, allocates nothing: whether a host value for a parameter that
  // does not act on an unchanged value repeats the last one the host sent
  // (before any, the default), so that nothing should happen; a new value
  // becomes the last one.
  bool IsResentHostValue(int paramIdx, double normalized);

  // Host notifications of the plug-in's own changes (preset loads, MIDI
  // controllers, restored presets). Any thread, never blocks: marks that the
  // host should read every parameter again.
  void RequestHostRefresh() { mHostRefreshPending.store(true); }
  // Whether such a refresh was asked for and not yet sent.
  bool IsHostRefreshPending() const { return mHostRefreshPending.load(); }
  // User-interface thread, lock not held: tells the host what was requested
  // (NotifyHostPresetChange), once.
  void SendPendingHostNotifications();
  // User-interface thread, lock not held, after the editor changed a
  // parameter: RunDeferredWork, then SendPendingHostNotifications.
  void CompleteDeferredWork();
  // True while a restored state announces its values through
  // HandleParamChange: actions with side effects (files, notes) stay still,
  // so the restore gives back exactly what was saved.
  bool IsRestoringState() const { return mRestoringState > 0; }

  // Channel configurations.
  bool LegalIO(int inputs, int outputs) const;
  const std::vector<ChannelIO>& ChannelConfigurations() const { return mChannelIO; }

  // The state chunk: every parameter's plain value as a little-endian double,
  // in index order.
  bool SerializeParams(ByteChunk& chunk);
  // Reads values from startPos, limiting each to its parameter's range, then
  // HandleParamChange for every index while IsRestoringState. Data that
  // does not cover every parameter changes nothing. Answers the position
  // after the last value, or -1.
  int UnserializeParams(const ByteChunk& chunk, int startPos);

  // Presets. Indices outside [0, PresetCount ()) are ignored.
  int PresetCount() const { return static_cast<int>(mPresets.size()); }
  const IPlugPreset* GetPreset(int presetIdx) const;
  // Fills up to count uninitialized presets with the current state under
  // name ("Empty" when null or empty).
  void CreateDefaultPreset(const char* name, int count);
  // Restores a preset (an uninitialized one becomes "user preset N" holding
  // the current state). False for an unknown index or a failed restore.
  bool ApplyPreset(int presetIdx);
  // The preset's name, or "" for an unknown index.
  const char* GetPresetName(int presetIdx) const;
  // Stores the current state in the current preset and, when name is not
  // empty, renames it (cut to 255 characters).
  void ModifyCurrentPreset(const char* name = nullptr);
  // The preset bank: per preset an int32 name length, the name, an
  // initialized byte and, when initialized, its state chunk.
  bool SerializePresets(ByteChunk& chunk);
  // Reads a bank from startPos, then restores the current preset. Answers
  // the position after the bank, or -1 when the data ran out.
  int UnserializePresets(const ByteChunk& chunk, int startPos);

  // Audio plumbing for the adapters, called under the lock on the audio
  // thread (nothing here allocates). Each block: attach the host's buffers,
  // then RunBlock or BypassBlock, which process in pieces of at most the
  // block size (hosts that send more frames than announced still get every
  // frame), convert single-precision data on the way and detach the host
  // buffers again. Host buffer arrays may be null and may hold null
  // channels: such inputs read silence and such outputs receive nothing.
  //
  // Connected input channels first ... first + count - 1 take the host
  // buffers in order, one per connected channel.
  void AttachInputs(int first, int count, float* const* buffers);
  void AttachInputsDouble(int first, int count, double* const* buffers);
  // Connected output channels first ... first + count - 1 take the host
  // buffers in order.
  void AttachOutputs(int first, int count, float* const* buffers);
  void AttachOutputsDouble(int first, int count, double* const* buffers);
  // ProcessDouble on the attached buffers.
  void RunBlock(int frames, EOutputMode mode = kReplaceOutput);
  // Bypass: through the latency delay line when there is a latency and a
  // line, else the base pass-through (never the instrument's processing).
  void BypassBlock(int frames, EOutputMode mode = kReplaceOutput);
  // Zeroes every scratch buffer.
  void ClearScratch();

  // Channels. Unconnected channels point at their own scratch buffer.
  int InChannelCount() const { return static_cast<int>(mInChannels.size()); }
  int OutChannelCount() const { return static_cast<int>(mOutChannels.size()); }
  const InChannel* GetInChannel(int channel) const;
  const OutChannel* GetOutChannel(int channel) const;
  void SetInputConnected(int channel, bool connected);
  void SetOutputConnected(int channel, bool connected);
  void SetInputLabel(int channel, const char* label);
  void SetOutputLabel(int channel, const char* label);
  // The pointer arrays ProcessDouble receives. Between blocks every entry
  // points at its channel's scratch buffer.
  double* const* InputPointers() const { return mInPtrs.data(); }
  double* const* OutputPointers() const { return mOutPtrs.data(); }

  // Latency delay line (the VST3 adapter creates it, with length 0).
  void CreateLatencyDelayLine();
  bool HasLatencyDelayLine() const { return mDelayLine != nullptr; }

  // Names an adapter may give its buses, and the parameter group names in
  // order of first appearance (filled by the VST3 adapter).
  std::vector<std::string>& InputBusNames() { return mInputBusNames; }
  std::vector<std::string>& OutputBusNames() { return mOutputBusNames; }
  std::vector<std::string>& ParamGroupNames() { return mParamGroupNames; }

  // Identity and state.
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMakerName() const { return mMakerName; }
  int32_t GetUniqueID() const { return mUniqueID; }
  int32_t GetMakerID() const { return mMakerID; }
  // major << 16 | minor << 8 | patch.
  int32_t GetVersion() const { return mVersion; }
  int32_t GetHostVersion() const { return mHostVersion; }
  bool DoesStateChunks() const { return mDoesStateChunks; }
  bool IsInstrument() const { return mIsInstrument; }
  bool DoesMidi() const { return mDoesMidi; }
  bool IsBypassed() const { return mIsBypassed; }
  void SetBypassed(bool bypassed) { mIsBypassed = bypassed; }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }
  void SetTailSize(int frames) { mTailSize = frames; }
  IPlugEditor* GetEditor() const { return mEditor; }
  CriticalSection& GetLock() { return mLock; }

protected:
  // Called by the adapter once it has identified its host.
  void SetHostIdentity(int host, int32_t hostVersion);

private:
  template <typename Sample>
  void PassThrough(Sample* const* inputs, Sample* const* outputs, int frames) const;
  void BypassDouble(int frames);
  template <typename Process>
  void RenderBlock(int frames, EOutputMode mode, Process process);
  // Forgets the host buffers of the last block and points every channel at
  // its scratch buffer again.
  void DetachHostBuffers();
  // Empties the preset's chunk and stores the current state in it.
  bool CapturePreset(IPlugPreset& preset);

  char mEffectName[kIdentityTextSize] = {};
  char mProductName[kIdentityTextSize] = {};
  char mMakerName[kIdentityTextSize] = {};
  int32_t mUniqueID;
  int32_t mMakerID;
  int32_t mVersion;
  EApiKind mApi;
  int32_t mHost = -1;
  int32_t mHostVersion = 0;
  bool mDoesStateChunks;
  bool mIsInstrument;
  bool mDoesMidi;
  bool mIsBypassed = false;
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency = 0;
  int mTailSize = 0;
  int mRestoringState = 0;
  std::atomic<bool> mHostRefreshPending{false};

  std::vector<ChannelIO> mChannelIO;
  std::vector<IPlugParam> mParams;
  // Per parameter, the normalized value a host last sent through
  // SetParameterFromHost (NaN before the first); guarded by the lock.
  std::vector<double> mLastHostValues;
  std::vector<IPlugPreset> mPresets;
  std::vector<double*> mInPtrs;
  std::vector<double*> mOutPtrs;
  std::vector<InChannel> mInChannels;
  std::vector<OutChannel> mOutChannels;
  std::vector<std::string> mInputBusNames;
  std::vector<std::string> mOutputBusNames;
  std::vector<std::string> mParamGroupNames;
  std::unique_ptr<LatencyDelayLine> mDelayLine;
  IPlugEditor* mEditor = nullptr;
  CriticalSection mLock;
};
