#include "thudwerk.h"

#include "common_documents.h"
#include "editor_graphics.h"
#include "editor_layout.h"
#include "four_char_code.h"
#include "graphics.h"
#include "preset_catalogue.h"
#include "preset_file_store.h"
#include "preset_library.h"
#include "preset_paths.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <string>

namespace
{
using namespace EngineParam;

constexpr int32_t kThudwerkVersion = 0x00010002;
// The build's editor scale: 1 (500 x 480, VST3) or 2 (1000 x 960, VST2).
constexpr int kEditorScale = THUDWERK_EDITOR_SCALE;
// Whether the build also carries the double-scale images and layout, for
// hosts whose content scale reaches kDoubleScaleFrom.
constexpr bool kFollowsContentScale = THUDWERK_EDITOR_HIDPI != 0;
constexpr double kDoubleScaleFrom = 1.5;
constexpr int kMidiQueueSize = 1024;
constexpr int kEngineBlockSize = 1024;
constexpr double kParamStep = 0.00001;
constexpr int kStackLimit = 100;
constexpr int kMaxDataByte = 127;
// The token steps in single precision, as stored state and hosts expect.
constexpr float kRetrigStep = 0.01f;
constexpr float kRetrigLast = 0.99f;
// How often the worker looks whether the catalogue's folders changed.
constexpr std::chrono::milliseconds kPresetCacheCheckPeriod{1000};
constexpr int kSustainController = 64;
constexpr int kAllNotesOffController = 123;
constexpr int kAllSoundOffController = 120;
constexpr int kPedalUp = 0;
constexpr int kPedalDown = 127;

struct ControllerTarget
{
  int controller;
  int paramIdx;
};

constexpr ControllerTarget kControllerTargets[] = {
    {1, TransistorDistLoad}, {2, ReverbOffOn},   {3, VelAmpOffOn},   {7, MainVolume},
    {8, BassEnvAttack},      {9, BassEnvDecay},  {10, BassPitchAmt}, {11, BassAmpLevel},
    {12, SnapEnvDecay},      {13, SnapPitchAmt}, {14, SnapAmpLevel},
};
// Names for hosts that show at most 7 characters, distinct from each other.
struct ParamShortName
{
  int paramIdx;
  const char* shortName;
};

constexpr ParamShortName kShortNames[] = {
    {BassAmpLevel, "BassLvl"},
    {BassEnvAttack, "BassAtk"},
    {BassEnvDecay, "BassDcy"},
    {BassPitchAmt, "BassPch"},
    {HostBarStartPulse, "BarPuls"},
    {HostTempoBpm, "Tempo"},
    {HostTransportIsRunning, "Running"},
    {MainVolume, "Volume"},
    {MidiChannelInput, "MidiCh"},
    {PresetBackward, "PrsBack"},
    {PresetForward, "PrsFwd"},
    {PresetLoad, "PrsLoad"},
    {PresetSave, "PrsSave"},
    {PresetSelector, "Preset"},
    {ReverbOffOn, "Reverb"},
    {SnapAmpLevel, "SnapLvl"},
    {SnapEnvDecay, "SnapDcy"},
    {SnapPitchAmt, "SnapPch"},
    {TransistorDistLoad, "Distort"},
    {VelAmpOffOn, "VelAmp"},
    {Voice00_NoteGate, "Gate"},
    {Voice00_NoteNumber, "Note"},
    {Voice00_NoteRetrig, "Retrig"},
    {Voice00_NoteVelocity, "Velo"},
    {VoiceModeMonoPoly, "MonoPly"},
    {VoiceRetrigOffOn, "RetrgOn"},
    {zInitParams, "Init"},
};
static_assert(sizeof(kShortNames) / sizeof(kShortNames[0]) == kEngineNumParams,
              "one short name per parameter");

// The parameters the editor shows as on/off switches.
constexpr int kSwitchParams[] = {ReverbOffOn, VelAmpOffOn};
// All sound off and all notes off: nothing queued before them waits past
// them.
bool IsPanic(const IMidiEvent& message)
{
  return message.Kind() == kMidiControlChange &&
         (message.mData1 == kAllSoundOffController || message.mData1 == kAllNotesOffController);
}
} // namespace

Thudwerk::Thudwerk(IPlugHostContext host)
    : IPlugAdapter(host, kEngineNumParams, "2-2", 1, "Thudwerk", "", "VornAudio", kThudwerkVersion,
                   FourCharCode("Vrc5"), FourCharCode("Vrna"), true, false, true),
      mMidiQueue(kMidiQueueSize), mPresetCache(std::make_unique<PresetCache>()),
      mPresetFileStore(&SystemPresetFileStore())
{
  // The engine's delay lines keep the size of this rate for its whole life.
  mEngine.reset(EngineCreate(GetSampleRate()));
  if (!mEngine) throw std::bad_alloc();
  DefineParamsFromEngine();
  mCurrentPresetIndex = 0.0f;
  ClearNoteState();
  BuildEditor();
  CreateDefaultPreset("Init", 1);
  // Read here, not on the worker: a host may choose a preset in its first
  // block, and it must land there in every run.
  ReadPresetCache(*mPresetFileStore, mDocumentsFolder, *mPresetCache);
  mLastPresetCacheCheck = std::chrono::steady_clock::now();
  mPresetWorker = std::make_unique<WakeableWorker>([this] { Thudwerk::RunDeferredWork(); },
                                                   kPresetCacheCheckPeriod);
}

Thudwerk::~Thudwerk()
{
  // The worker reaches the library, the editor and the engine: it goes
  // first.
  mPresetWorker.reset();
}

void Thudwerk::DefineParamsFromEngine()
{
  for (int i = 0; i < kEngineNumParams; ++i)
  {
    const EngineParamInfo* info = EngineGetParamInfo(mEngine.get(), i);
    GetParam(i)->DefineDouble(info->name, info->defaultValue, info->outputMin, info->outputMax,
                              kParamStep, "", "", 1.0);
  }
  for (const ParamShortName& entry : kShortNames)
    GetParam(entry.paramIdx)->SetShortName(entry.shortName);
  for (int paramIdx : kSwitchParams)
    GetParam(paramIdx)->SetIsSwitch(true);
}

void Thudwerk::BuildEditor()
{
  mDocumentsFolder = GetCommonDocumentsFolder();
  mEditorScale = kEditorScale;
  mGraphics =
      CreateInstrumentGraphics(this, kEditorWidth * kEditorScale, kEditorHeight * kEditorScale,
                               kEditorFPS, EditorImageModule());
  BuildEditorControls();
  AttachEditor(mGraphics);
}

void Thudwerk::BuildEditorControls()
{
  // The build's own scale has the images under their ids, the other one
  // (only in builds that follow the content scale) under the offset ids.
  const int imageIdOffset = mEditorScale == kEditorScale ? 0 : kDoubleScaleImageIdOffset;
  mEditorControls = BuildEditorLayout(*mGraphics, this, mEditorScale,
                                      PresetPromptFolder(mDocumentsFolder), imageIdOffset);
  mPresetFileActions = std::make_unique<PresetLibrary>(
      *this, *mEditorControls.presetLoadSelector, *mEditorControls.presetSaveSelector,
      *mEditorControls.presetName, mDocumentsFolder);
  mPresetFileActions->UseFileStore(*mPresetFileStore);
}

bool Thudwerk::SetEditorContentScale(double contentScale)
{
  if (!kFollowsContentScale || !mGraphics) return false;
  const int scale = contentScale >= kDoubleScaleFrom ? 2 : 1;
  int draggedParam = -1;
  {
    // The editor may be drawing on a thread of its own: its window lock
    // comes first, as the window takes it before the others.
    CriticalSectionLock window(mGraphics->WindowLock());
    // Preset actions use the preset strip's controls: deferred work waits
    // (taken first, as RunDeferredWork takes it), host threads too.
    std::lock_guard<std::mutex> serial(mDeferredWorkMutex);
    CriticalSectionLock lock(GetLock());
    if (scale == mEditorScale) return true;
    // A menu or dialog of one of the controls is still running.
    if (mGraphics->InModalPrompt()) return false;
    const PresetStripState presetStrip = SavePresetStrip(mEditorControls);
    mEditorScale = scale;
    draggedParam = mGraphics->DraggedParamIdx();
    // Deletes the controls and closes an open text entry.
    mGraphics->Resize(kEditorWidth * scale, kEditorHeight * scale);
    BuildEditorControls();
    RestorePresetStrip(presetStrip, mEditorControls);
    RefreshParamControls();
  }
  // The host hears of it with the locks released: a control being dragged
  // went away with the others, so its gesture ends (the host never sees a
  // begin without an end), then the host is asked for the new size.
  if (draggedParam >= 0) EndParamGesture(draggedParam);
  ResizeEditor(kEditorWidth * scale, kEditorHeight * scale);
  return true;
}

int Thudwerk::TailFrames() const
{
  // The reverb network's feedback falls by 60 dB over this time.
  constexpr double kReverbDecaySeconds = 10.05;
  if (GetParam(ReverbOffOn)->Value() < 0.5) return 0;
  return static_cast<int>(std::ceil(kReverbDecaySeconds * GetSampleRate()));
}

const char* Thudwerk::ParamSection(int paramIdx) const
{
  switch (paramIdx)
  {
  case BassAmpLevel:
  case BassEnvAttack:
  case BassEnvDecay:
  case BassPitchAmt:
    return "Bass";
  case SnapAmpLevel:
  case SnapEnvDecay:
  case SnapPitchAmt:
    return "Snap";
  case TransistorDistLoad:
    return "Drive";
  case ReverbOffOn:
    return "Reverb";
  case VelAmpOffOn:
    return "Velocity";
  case MainVolume:
    return "Output";
  case PresetBackward:
  case PresetForward:
  case PresetLoad:
  case PresetSave:
  case PresetSelector:
    return "Presets";
  case HostBarStartPulse:
  case HostTempoBpm:
  case HostTransportIsRunning:
  case MidiChannelInput:
    return "Host";
  default:
    return GetParam(paramIdx) ? "Voice" : "";
  }
}

bool Thudwerk::LoadPresetFile(const std::string& path)
{
  PresetFileStore* store = nullptr;
  {
    CriticalSectionLock lock(GetLock());
    store = mPresetFileStore;
  }
  std::string line;
  if (store->ReadLastLine(path, line) != PresetFileRead::kRead) return false;
  const PresetFileValues values = ParsePresetLine(line);
  {
    CriticalSectionLock lock(GetLock());
    // A newer change than any read still on its way: that read is dropped.
    const std::uint64_t sequence = ++mChangeSequence;
    mLatestPresetSequence = sequence;
    ApplyPresetValues(values, sequence);
  }
  if (mPresetFileActions) mPresetFileActions->ShowPresetName(path);
  return true;
}

void Thudwerk::AttachPresetFileActions(std::unique_ptr<PresetFileActions> actions)
{
  std::lock_guard<std::mutex> serial(mDeferredWorkMutex);
  CriticalSectionLock lock(GetLock());
  mPresetFileActions = std::move(actions);
}

void Thudwerk::UsePresetFileStore(PresetFileStore& store)
{
  CriticalSectionLock lock(GetLock());
  mPresetFileStore = &store;
  if (mPresetFileActions) mPresetFileActions->UseFileStore(store);
  mPresetRequests.refreshCache = true;
  WakePresetWorker();
}

void Thudwerk::RunDeferredWork()
{
  std::lock_guard<std::mutex> serial(mDeferredWorkMutex);
  PresetRequests requests;
  {
    CriticalSectionLock lock(GetLock());
    requests = mPresetRequests;
    mPresetRequests = PresetRequests();
  }
  if (requests.Any() && mPresetFileActions)
  {
    const PresetFileLoad load = mPresetFileActions->Perform(requests);
    bool applied = false;
    if (load.read)
    {
      CriticalSectionLock lock(GetLock());
      // A later preset choice or a restore has the last word.
      applied = requests.readSequence == mLatestPresetSequence;
      if (applied) ApplyPresetValues(load.values, requests.readSequence);
    }
    if (applied) mPresetFileActions->ShowPresetName(load.path);
  }
  ReadPresetCacheAgain(requests.refreshCache);
}

void Thudwerk::RefreshPresetCache()
{
  std::lock_guard<std::mutex> serial(mDeferredWorkMutex);
  ReadPresetCacheAgain(true);
}

void Thudwerk::ReadPresetCacheAgain(bool force)
{
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - mLastPresetCacheCheck < kPresetCacheCheckPeriod) return;
  mLastPresetCacheCheck = now;
  PresetFileStore* store = nullptr;
  {
    CriticalSectionLock lock(GetLock());
    store = mPresetFileStore;
  }
  if (!force)
  {
    PresetCacheStamps stamps;
    ReadPresetCacheStamps(*store, mDocumentsFolder, stamps);
    CriticalSectionLock lock(GetLock());
    if (PresetCacheMatches(*mPresetCache, stamps)) return;
  }
  auto fresh = std::make_unique<PresetCache>();
  ReadPresetCache(*store, mDocumentsFolder, *fresh);
  CriticalSectionLock lock(GetLock());
  mPresetCache.swap(fresh);
}

bool Thudwerk::ActsOnUnchangedValue(int paramIdx) const
{
  return paramIdx != PresetLoad && paramIdx != PresetSave && paramIdx != PresetSelector;
}

void Thudwerk::WakePresetWorker()
{
  if (mPresetWorker) mPresetWorker->Wake();
}

void Thudwerk::Reset()
{
  CriticalSectionLock lock(GetLock());
  EngineReset(mEngine.get(), GetSampleRate(), kEngineBlockSize);
  // The reset put every engine parameter back to its reset value.
  for (int i = 0; i < ParamCount(); ++i)
    EngineSetParam(mEngine.get(), i, GetParam(i)->Value());
  SetParamSilently(PresetSelector, 0.0);
  // Messages from before the reset belong to a stopped transport.
  mMidiQueue.Clear();
  // A message per frame: a block and the hold after it carry far fewer, even
  // at a note per millisecond, since nothing waits longer.
  mMidiQueue.Resize(GetBlockSize());
  ClearNoteState();
}

void Thudwerk::HandleParamChange(int paramIdx)
{
  CriticalSectionLock lock(GetLock());
  const IPlugParam* param = GetParam(paramIdx);
  if (!param) return;
  EngineSetParam(mEngine.get(), paramIdx, param->Value());
  const std::uint64_t sequence = ++mChangeSequence;
  mParamChangeSequence[static_cast<size_t>(paramIdx)] = sequence;
  // A restore gives back exactly what was saved: no file is read or
  // written, no note is cut, and a read still on its way is dropped.
  if (IsRestoringState())
  {
    mLatestPresetSequence = sequence;
    return;
  }
  switch (paramIdx)
  {
  case PresetBackward:
  case PresetForward:
    // The buttons send 1 when pressed and 0 when released; only the press acts.
    if (param->Value() != 1.0) break;
    ClearNoteState();
    SetParamSilently(PresetSelector, mCurrentPresetIndex);
    StepPresetBy(paramIdx == PresetBackward ? -1.0 : 1.0);
    SelectPreset(sequence);
    break;
  case PresetLoad:
    if (mPresetFileActions && mPresetFileActions->IsLoadFromPrompt())
    {
      // The prompt's answer is newer than a catalogue choice still waiting,
      // and the user may have chosen a file just written outside.
      mPresetRequests.selectCatalogue = false;
      mPresetRequests.refreshCache = true;
      mLoadPathPreset = kLoadPathElsewhere;
    }
    LoadPresetFile(sequence);
    break;
  case PresetSave:
    // Only the save prompt writes: host automation never overwrites the
    // user's last saved file.
    if (!mPresetFileActions || !mPresetFileActions->IsSaveFromPrompt()) break;
    mPresetRequests.write = true;
    mPresetRequests.refreshCache = true;
    WakePresetWorker();
    break;
  case PresetSelector:
    ClearNoteState();
    SelectPreset(sequence);
    break;
  default:
    break;
  }
}

void Thudwerk::StepPresetBy(double delta)
{
  SetParamSilently(PresetSelector, GetParam(PresetSelector)->Value() + delta);
}

void Thudwerk::StepPresetBackward()
{
  CriticalSectionLock lock(GetLock());
  StepPresetBy(-1.0);
}

void Thudwerk::StepPresetForward()
{
  CriticalSectionLock lock(GetLock());
  StepPresetBy(1.0);
}

void Thudwerk::SelectPreset(std::uint64_t sequence)
{
  const double selected = GetParam(PresetSelector)->Value();
  const int presetIndex = PresetIndexFromValue(selected);
  // The path is only text for the load prompt: the worker sets it.
  mPresetRequests.selectCatalogue = true;
  mPresetRequests.catalogueIndex = presetIndex;
  mLoadPathPreset = presetIndex;
  mCurrentPresetIndex = static_cast<float>(selected);
  SetParamSilently(PresetSelector, 0.0);
  LoadPresetFile(sequence);
  WakePresetWorker();
}

void Thudwerk::LoadPresetFile(std::uint64_t sequence)
{
  mLatestPresetSequence = sequence;
  mPresetRequests.read = false;
  if (mLoadPathPreset != kLoadPathElsewhere)
  {
    // An index that names no preset reads the preset folder: nothing.
    if (!NamesPreset(mLoadPathPreset)) return;
    const CachedPresetFile& file = mPresetCache->files[mLoadPathPreset];
    if (file.readable)
    {
      ApplyPresetValues(file.values, sequence);
      if (mPresetFileActions) mPresetFileActions->ShowCataloguePresetName(mLoadPathPreset);
      return;
    }
    // Not readable when last looked at: it may have been written since.
  }
  mPresetRequests.read = true;
  mPresetRequests.readSequence = sequence;
  WakePresetWorker();
}

void Thudwerk::ApplyPresetValues(const PresetFileValues& values, std::uint64_t sequence)
{
  IPlugEditor* editor = GetEditor();
  for (int i = 0; i < kPresetFileParams; ++i)
  {
    const int paramIdx = kPresetFileTags[i].paramIdx;
    if (!values.found[i] || mParamChangeSequence[static_cast<size_t>(paramIdx)] > sequence)
      continue;
    // Adding 0 turns a loaded -0 into 0.
    const double limited = std::clamp(values.value[i], 0.0, 1.0) + 0.0;
    GetParam(paramIdx)->SetClamped(limited);
    EngineSetParam(mEngine.get(), paramIdx, limited);
    // The controls get the value as loaded; they limit what they draw.
    if (editor) editor->PushParamToControls(paramIdx, values.value[i], true);
  }
  RequestHostRefresh();
}

void Thudwerk::HandleMidiEvent(const IMidiEvent& message)
{
  const double channelValue = GetParam(MidiChannelInput)->Value();
  if (message.Channel() != static_cast<int>(std::trunc(channelValue - 1.0))) return;
  // A note number above 127 (a broken byte from the host) names no key.
  const EMidiKind kind = message.Kind();
  if ((kind == kMidiNoteOn || kind == kMidiNoteOff) && message.mData1 > kMaxDataByte) return;
  // Negative offsets (from faulty hosts) play at the block start; the queue
  // keeps them for messages held back from earlier blocks.
  IMidiEvent queued = message;
  queued.mOffset = std::max(queued.mOffset, 0);
  mMidiQueue.Add(queued);
}

void Thudwerk::ProcessDouble(double** inputs, double** outputs, int frames)
{
  SetParamSilently(HostTempoBpm, GetTempo());
  // Each message is handled where the render has got to, so offsets order
  // the messages but do not place them. A gate closed before the engine's
  // envelopes have seen it open would never sound: such a message waits
  // until they have (a release, until its note's length has passed),
  // rendering the block in pieces, but never past one
  // retrigger hold after the end of its block, nor past a panic message
  // behind it. At rates beyond one kick per hold it is handled at that
  // bound and its note stays silent, so nothing piles up.
  int rendered = 0;
  mLastNoteStart.inThisBlock = false;
  int64_t panicOffset = NextPanicOffset(frames);
  while (const IMidiEvent* message = mMidiQueue.Front())
  {
    if (message->mOffset >= frames) break;
    const bool panic = IsPanic(*message);
    if (WouldCloseGate(*message))
    {
      const int64_t edge = rendered + int64_t{EngineFramesUntilGateEdge(mEngine.get())};
      int64_t deadline = HoldDeadline(*message, frames);
      if (!panic) deadline = std::min(deadline, panicOffset);
      if (edge > rendered && edge <= deadline)
      {
        // A release keeps its note's length when that ends after the
        // kick's start, so a 30 ms note in a long block is not cut to a
        // click; a panic goes as early as it can.
        int64_t handleAt = edge;
        if (!panic && message->mOffset >= 0 && mLastNoteStart.inThisBlock)
          handleAt =
              std::min(deadline, std::max(edge, int64_t{mLastNoteStart.handledAt} +
                                                    message->mOffset - mLastNoteStart.offset));
        if (handleAt >= frames) break;
        RenderFrames(inputs, outputs, rendered, static_cast<int>(handleAt) - rendered);
        rendered = static_cast<int>(handleAt);
      }
    }
    if (message->Kind() == kMidiNoteOn && message->mData2 != 0)
      mLastNoteStart = {true, rendered, message->mOffset};
    HandleQueuedMessage(*message);
    mMidiQueue.Remove();
    if (panic) panicOffset = NextPanicOffset(frames);
  }
  mMidiQueue.Flush(frames);
  // A null channel pointer leaves the engine silent until the next Reset.
  RenderFrames(inputs, outputs, rendered, frames - rendered);
}

int64_t Thudwerk::HoldDeadline(const IMidiEvent& message, int frames) const
{
  // A message held back from an earlier block has the last frame of that
  // block as its offset.
  const int64_t blockEnd = message.mOffset < 0 ? int64_t{message.mOffset} + 1 : frames;
  return blockEnd + EngineRetriggerHoldFrames(mEngine.get());
}

int64_t Thudwerk::NextPanicOffset(int frames) const
{
  for (int i = 0; const IMidiEvent* message = mMidiQueue.At(i); ++i)
  {
    if (message->mOffset >= frames) break;
    if (IsPanic(*message)) return message->mOffset;
  }
  return std::numeric_limits<int64_t>::max();
}

void Thudwerk::RenderFrames(double** inputs, double** outputs, int from, int frames)
{
  if (inputs == nullptr || outputs == nullptr || from == 0)
  {
    EnginePerform(mEngine.get(), inputs, outputs, frames);
    return;
  }
  // Null channels stay null, so the engine still sees them.
  const auto at = [from](double* channel) { return channel ? channel + from : nullptr; };
  double* piecesIn[] = {at(inputs[0]), at(inputs[1])};
  double* piecesOut[] = {at(outputs[0]), at(outputs[1])};
  EnginePerform(mEngine.get(), piecesIn, piecesOut, frames);
}

bool Thudwerk::WouldCloseGate(const IMidiEvent& message) const
{
  if (!GateOpen()) return false;
  const bool notesHandled = ParamIs(VoiceModeMonoPoly, 0.0);
  switch (message.Kind())
  {
  case kMidiNoteOn:
  case kMidiNoteOff:
    if (message.Kind() == kMidiNoteOn && message.mData2 != 0) return false;
    return notesHandled && mSustain == kPedalUp && !AnyNoteHeldBut(message.mData1);
  case kMidiControlChange:
    if (message.mData1 == kAllNotesOffController) return true;
    return message.mData1 == kSustainController && message.mData2 == kPedalUp && notesHandled &&
           !AnyNoteHeld();
  default:
    return false;
  }
}

bool Thudwerk::GateOpen() const
{
  return ParamIs(Voice00_NoteGate, 1.0);
}

void Thudwerk::HandleQueuedMessage(const IMidiEvent& message)
{
  switch (message.Kind())
  {
  case kMidiNoteOn:
  case kMidiNoteOff:
    if (!ParamIs(VoiceModeMonoPoly, 0.0)) return;
    if (message.Kind() == kMidiNoteOn && message.mData2 != 0)
      NoteOn(message.mData1, message.mData2);
    else
      NoteOff(message.mData1);
    break;
  case kMidiControlChange:
    ControlChange(message.mData1, message.mData2);
    break;
  default:
    break;
  }
}

bool Thudwerk::ParamIs(int paramIdx, double value) const
{
  return GetParam(paramIdx)->Value() == value;
}

void Thudwerk::SetParamSilently(int paramIdx, double value)
{
  EngineSetParam(mEngine.get(), paramIdx, value);
  GetParam(paramIdx)->SetClamped(value);
}

void Thudwerk::AdvanceRetrigToken()
{
  mRetrigToken = mRetrigToken + kRetrigStep;
  if (mRetrigToken > kRetrigLast) mRetrigToken = 0.0f;
  SetParamSilently(Voice00_NoteRetrig, mRetrigToken);
}

void Thudwerk::NoteOn(int note, int velocity)
{
  mHeldNotes[note] = true;
  SetParamSilently(Voice00_NoteGate, 1.0);
  SetParamSilently(Voice00_NoteNumber, note);
  SetParamSilently(Voice00_NoteVelocity, velocity);
  if (ParamIs(VoiceRetrigOffOn, 1.0)) AdvanceRetrigToken();
  mStackTop = std::min(mStackTop + 1, kStackLimit);
  mNoteStack[mStackTop] = note;
  mVelocityStack[mStackTop] = velocity;
}

void Thudwerk::NoteOff(int note)
{
  mHeldNotes[note] = false;
  const int pushedEntries = mStackTop;
  const int topNote = mNoteStack[mStackTop];
  mStackTop = std::max(mStackTop - 1, 0);
  // Releasing the top note while others remain restarts the kick on the note below.
  if (ParamIs(VoiceRetrigOffOn, 1.0) && topNote == note && mStackTop > 0) AdvanceRetrigToken();
  RemoveFromStack(note, pushedEntries);
  if (mSustain == 0)
  {
    SetParamSilently(Voice00_NoteGate, 0.0);
    SetParamSilently(Voice00_NoteNumber, note);
  }
  if (AnyNoteHeld())
  {
    SetParamSilently(Voice00_NoteGate, 1.0);
    SetParamSilently(Voice00_NoteNumber, mNoteStack[mStackTop]);
    SetParamSilently(Voice00_NoteVelocity, mVelocityStack[mStackTop]);
  }
}

void Thudwerk::RemoveFromStack(int note, int pushedEntries)
{
  // Entry 0 is never pushed to and always holds 0: a release of note 0 must
  // not match it and shift the real notes down.
  for (int j = 1; j <= pushedEntries; ++j)
  {
    if (mNoteStack[j] != note) continue;
    std::copy(mNoteStack + j + 1, mNoteStack + kNoteCount, mNoteStack + j);
    std::copy(mVelocityStack + j + 1, mVelocityStack + kNoteCount, mVelocityStack + j);
    mNoteStack[kNoteCount - 1] = 0;
    mVelocityStack[kNoteCount - 1] = 0;
    return;
  }
}

bool Thudwerk::AnyNoteHeld() const
{
  return AnyNoteHeldBut(-1);
}

bool Thudwerk::AnyNoteHeldBut(int note) const
{
  for (int n = 0; n < kNoteCount; ++n)
    if (mHeldNotes[n] && n != note) return true;
  return false;
}

void Thudwerk::ControlChange(int controller, int value)
{
  if (controller == kSustainController)
  {
    SustainPedal(value);
    return;
  }
  if (controller == kAllNotesOffController)
  {
    ClearNoteState();
    return;
  }
  for (const ControllerTarget& target : kControllerTargets)
  {
    if (target.controller != controller) continue;
    IPlugParam* param = GetParam(target.paramIdx);
    param->SetFromNormalized(value / 127.0);
    // The editor follows now; the host re-reads the values from its
    // user-interface thread.
    if (IPlugEditor* editor = GetEditor())
      editor->PushParamToControls(target.paramIdx, param->ToNormalized(param->Value()), true);
    // Also hands the new value to the engine.
    HandleParamChange(target.paramIdx);
    RequestHostRefresh();
    return;
  }
}

void Thudwerk::SustainPedal(int value)
{
  if (value == kPedalUp)
  {
    mSustain = kPedalUp;
    if (ParamIs(VoiceModeMonoPoly, 0.0) && !AnyNoteHeld()) SetParamSilently(Voice00_NoteGate, 0.0);
  }
  else if (value == kPedalDown)
  {
    mSustain = kPedalDown;
  }
}

void Thudwerk::ClearNoteState()
{
  std::fill(mHeldNotes, mHeldNotes + kNoteCount, false);
  std::fill(mNoteStack, mNoteStack + kNoteCount, 0);
  std::fill(mVelocityStack, mVelocityStack + kNoteCount, 0);
  mStackTop = 0;
  mRetrigToken = 0.0f;
  mSustain = kPedalUp;
  SetParamSilently(Voice00_NoteGate, 0.0);
}
