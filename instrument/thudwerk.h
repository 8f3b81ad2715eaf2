#pragma once

#include "editor_layout.h"
#include "kick_engine.h"
#include "midi_queue.h"
#include "plug_adapter.h"
#include "preset_cache.h"
#include "preset_file_actions.h"
#include "wakeable_worker.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// The instrument: owns the kick engine, declares the 27 host parameters from
// the engine's table (host index i is engine index i), turns channel-1 MIDI
// into the engine's gate, note, velocity and retrigger values through a
// monophonic note stack with sustain, maps eleven controllers onto sound
// parameters, and renders each block with one engine call.
//
// It derives from the adapter of its build (plug_adapter.h), so the same
// sources serve every plug-in format.
//
// Threads: the host's audio thread calls HandleMidiEvent and ProcessDouble
// with the instance lock held; Reset and HandleParamChange take the lock
// themselves and may come from any host thread. The engine is touched only
// under the lock. A catalogue preset is applied from the values of its file
// kept in memory, at once, wherever the choice arrives; those values are
// read at construction and again when the folder may have changed. Other
// preset file actions never run under the lock: the preset parameters only
// note what they ask for, and RunDeferredWork does it, on the editor's
// thread right after an editor change and on the instance's own worker
// thread for every other change.
class Thudwerk : public IPlugAdapter, public PresetCacheOwner
{
public:
  // Host thread that creates the instance (under the module's creation
  // lock). Throws std::bad_alloc when the engine or the base cannot be made;
  // the module entry answers no instance then.
  explicit Thudwerk(IPlugHostContext host);
  ~Thudwerk() override;

  // Processing starts, or the sample rate or block size changed: resets the
  // engine at the current rate and hands it every parameter again, empties
  // the MIDI queue and sizes it for the block size, and forgets all notes.
  // Allocates when the block size changed.
  void Reset() override;
  // Forwards the parameter's value to the engine and, unless a state is
  // being restored, starts the preset actions of the five preset
  // parameters: the note state, the preset index and a catalogue preset
  // held in memory change at once; reading any other file and writing are
  // requested for RunDeferredWork. Takes the lock; allocates nothing.
  void HandleParamChange(int paramIdx) override;
  // PresetLoad, PresetSave and PresetSelector act on changes only.
  bool ActsOnUnchangedValue(int paramIdx) const override;
  // Does the preset file work requested so far (reading and writing files
  // outside the lock) and, about once a second, reads the catalogue again
  // when its folders changed. Any thread but the audio thread; a caller that
  // finds the worker busy waits for it.
  void RunDeferredWork() override;
  // User-interface thread, lock not held: reads every catalogue file into
  // memory again (the preset menu opens).
  void RefreshPresetCache() override;
  // Audio thread, lock held, never allocates: writes the host tempo into
  // HostTempoBpm, handles the block's queued messages in order and renders
  // the block. A message that would close the gate before the engine has
  // seen it open waits until it has, the block rendering in pieces, for at
  // most one retrigger hold past the end of its block.
  void ProcessDouble(double** inputs, double** outputs, int frames) override;
  // Audio thread, lock held by the adapter: queues messages of the MIDI
  // channel by frame offset; others are dropped.
  void HandleMidiEvent(const IMidiEvent& message) override;
  // User-interface thread, takes the lock. In a build with both image sets a
  // content scale of 1.5 or more picks the double-scale layout, anything
  // below the normal one; a change rebuilds the controls at the new size
  // (values, preset name and preset files stay; an open text entry closes)
  // and asks the host to resize. Refused while a modal menu or dialog of
  // the editor runs, and in builds with one image set.
  bool SetEditorContentScale(double contentScale) override;
  // With the reverb on, its 60 dB decay at the current rate; else 0. Reads
  // one value without the lock: a stale answer only delays the host.
  int TailFrames() const override;
  // The editor's sections: Bass, Snap, Drive, Reverb, Velocity, Output, and
  // Presets, Voice and Host for the parameters the editor does not show.
  const char* ParamSection(int paramIdx) const override;
  // Reads the file outside the lock and sets the ten sound parameters from
  // it in one locked step, as a load from the editor's prompt does; the
  // preset name shows the file.
  bool LoadPresetFile(const std::string& path) override;

  // Forgets all notes, the sustain pedal and the retrigger token; closes the
  // gate.
  void ClearNoteState();
  // Moves PresetSelector (and the engine's copy) one step back or forward,
  // limited to its range.
  void StepPresetBackward();
  void StepPresetForward();

  // The preset index reached by the last selection or step.
  float CurrentPresetIndex() const { return mCurrentPresetIndex; }
  // Takes ownership of the preset library's file side; from then on the
  // preset parameters read and write preset files through it.
  void AttachPresetFileActions(std::unique_ptr<PresetFileActions> actions);
  // The preset library reads and writes its files through store from now
  // on; the worker reads the catalogue into memory again through it. store
  // outlives the instrument.
  void UsePresetFileStore(PresetFileStore& store);
  const KickEngine* Engine() const { return mEngine.get(); }

private:
  struct EngineDeleter
  {
    void operator()(KickEngine* engine) const { EngineDestroy(engine); }
  };

  // Builds the editor (layout, preset strip) with the preset library behind
  // it and attaches both (construction step before the default preset).
  void BuildEditor();
  // Fills the empty editor with the layout of mEditorScale and hands the
  // preset library its controls.
  void BuildEditorControls();
  void DefineParamsFromEngine();

  void HandleQueuedMessage(const IMidiEvent& message);
  void NoteOn(int note, int velocity);
  void NoteOff(int note);
  void ControlChange(int controller, int value);
  void SustainPedal(int value);
  void AdvanceRetrigToken();
  // Removes the first pushed stack entry holding note, if any, keeping both
  // stacks 128 entries long.
  void RemoveFromStack(int note, int pushedEntries);
  bool AnyNoteHeld() const;
  bool AnyNoteHeldBut(int note) const;
  bool GateOpen() const;
  // Whether handling the message would close an open gate.
  bool WouldCloseGate(const IMidiEvent& message) const;
  // The frame of the block by which a held-back message is handled at the
  // latest.
  int64_t HoldDeadline(const IMidiEvent& message, int frames) const;
  // The offset of the first all-sound-off or all-notes-off queued for this
  // block; nothing before it waits past it.
  int64_t NextPanicOffset(int frames) const;
  // EnginePerform on frames [from, from + frames) of the channels.
  void RenderFrames(double** inputs, double** outputs, int from, int frames);
  bool ParamIs(int paramIdx, double value) const;
  // Writes a value into the engine and mirrors it in the parameter, without
  // telling the host or the editor.
  void SetParamSilently(int paramIdx, double value);
  void StepPresetBy(double delta);
  // After a selection or step: load the preset of PresetSelector's index,
  // remember the index and let PresetSelector rest at 0 again.
  void SelectPreset(std::uint64_t sequence);
  // Lock held, allocates nothing: loads the load selector's file, from
  // memory when it is a catalogue file held there, else by a read of the
  // worker. sequence is the change asking for it.
  void LoadPresetFile(std::uint64_t sequence);
  // Lock held, allocates nothing: sets the ten sound parameters (host
  // value, engine, controls) from values, leaving those changed after
  // sequence alone.
  void ApplyPresetValues(const PresetFileValues& values, std::uint64_t sequence);
  // Lock not held, mDeferredWorkMutex held: reads the catalogue into
  // memory when forced or when its folders look changed.
  void ReadPresetCacheAgain(bool force);
  // Lock held: hands the requests to the worker.
  void WakePresetWorker();

  static constexpr int kNoteCount = 128;

  std::unique_ptr<KickEngine, EngineDeleter> mEngine;
  MidiQueue mMidiQueue;
  int32_t mSustain = 0;
  bool mHeldNotes[kNoteCount] = {};
  int32_t mStackTop = 0;
  int32_t mNoteStack[kNoteCount] = {};
  int32_t mVelocityStack[kNoteCount] = {};
  float mRetrigToken = 0.0f;
  // The last note-on handled in the current block: the frame the render had
  // reached and the message's own offset. A release waiting for that note's
  // kick keeps the note's length from there.
  struct NoteStart
  {
    bool inThisBlock = false;
    int handledAt = 0;
    int offset = 0;
  } mLastNoteStart;
  float mCurrentPresetIndex = 0.0f;
  std::unique_ptr<PresetFileActions> mPresetFileActions;
  // Guarded by the instance lock: the catalogue's values, and the catalogue
  // index the load selector's path names (kLoadPathElsewhere for a path from
  // the load prompt).
  std::unique_ptr<PresetCache> mPresetCache;
  static constexpr int kLoadPathElsewhere = -1;
  int mLoadPathPreset = kPresetHeaderIndex;
  // Guarded by the instance lock: every HandleParamChange takes the next
  // number. A preset read by the worker lands only if no preset choice or
  // restore came after its request, and leaves alone the parameters changed
  // after it.
  std::uint64_t mChangeSequence = 0;
  std::uint64_t mLatestPresetSequence = 0;
  std::array<std::uint64_t, kEngineNumParams> mParamChangeSequence = {};
  // Guarded by mDeferredWorkMutex.
  std::chrono::steady_clock::time_point mLastPresetCacheCheck;
  // The editor (owned by the base once attached), its scale and controls.
  IGraphics* mGraphics = nullptr;
  int mEditorScale = 1;
  EditorControls mEditorControls;
  std::string mDocumentsFolder;
  // Guarded by the instance lock.
  PresetRequests mPresetRequests;
  PresetFileStore* mPresetFileStore;
  // One RunDeferredWork at a time, so requests are done in the order taken.
  std::mutex mDeferredWorkMutex;
  std::unique_ptr<WakeableWorker> mPresetWorker;
};
