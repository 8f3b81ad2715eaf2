// The plug-in record and its lifecycle, the small extensions (ports,
// latency, tail) and the host-facing operations of the plugin base.

#include "iplug_clap.h"

#include "clap_descriptor.h"
#include "param_text.h"

#include "graphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// Editor notifications waiting for the next process or flush: a drag sends
// one value per mouse move, far fewer than this between two blocks.
constexpr size_t kEditorEventCapacity = 1024;
// The scratch buffers hold at most this many frames: hosts that announce
// larger blocks are served in pieces rather than with gigabytes of buffers.
constexpr uint32_t kLargestBlock = 65536;

uint32_t AudioPortCount(const clap_plugin_t*, bool isInput)
{
  return isInput ? 0 : 1;
}

bool AudioPortInfo(const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info)
{
  if (isInput || index != 0 || !info) return false;
  *info = clap_audio_port_info_t{};
  info->id = 0;
  CopyTextToHost(info->name, "Output", sizeof(info->name));
  info->flags = kClapAudioPortIsMain | kClapAudioPortSupports64Bits | kClapAudioPortPrefers64Bits;
  info->channel_count = 2;
  info->port_type = kClapPortStereo;
  info->in_place_pair = kClapInvalidId;
  return true;
}

uint32_t NotePortCount(const clap_plugin_t*, bool isInput)
{
  return isInput ? 1 : 0;
}

bool NotePortInfo(const clap_plugin_t*, uint32_t index, bool isInput, clap_note_port_info_t* info)
{
  if (!isInput || index != 0 || !info) return false;
  *info = clap_note_port_info_t{};
  info->id = 0;
  info->supported_dialects = kClapNoteDialectClap | kClapNoteDialectMidi;
  info->preferred_dialect = kClapNoteDialectClap;
  CopyTextToHost(info->name, "Notes", sizeof(info->name));
  return true;
}

uint32_t LatencyFrames(const clap_plugin_t* plugin)
{
  return static_cast<uint32_t>(IPlugCLAP::From(plugin)->GetLatency());
}

uint32_t TailFrames(const clap_plugin_t* plugin)
{
  return static_cast<uint32_t>(std::max(IPlugCLAP::From(plugin)->TailFrames(), 0));
}

const clap_plugin_audio_ports_t kAudioPorts = {AudioPortCount, AudioPortInfo};
const clap_plugin_note_ports_t kNotePorts = {NotePortCount, NotePortInfo};
const clap_plugin_latency_t kLatency = {LatencyFrames};
const clap_plugin_tail_t kTail = {TailFrames};
} // namespace

IPlugCLAP::IPlugCLAP(const clap_host_t* host, int nParams, const char* channelIO, int nPresets,
                     const char* effectName, const char* productName, const char* makerName,
                     int32_t version, int32_t uniqueID, int32_t makerID, bool doesMidi,
                     bool doesStateChunks, bool isInstrument)
    : IPlugBase(nParams, channelIO, nPresets, effectName, productName, makerName, version, uniqueID,
                makerID, doesMidi, doesStateChunks, isInstrument, kApiCLAP),
      mPlugin{&ThudwerkClapDescriptor(),
              this,
              &IPlugCLAP::Init,
              &IPlugCLAP::Destroy,
              &IPlugCLAP::Activate,
              &IPlugCLAP::Deactivate,
              &IPlugCLAP::StartProcessing,
              &IPlugCLAP::StopProcessing,
              &IPlugCLAP::ResetPlugin,
              &IPlugCLAP::Process,
              &IPlugCLAP::GetExtension,
              &IPlugCLAP::OnMainThreadCallback},
      mHost(host), mMainThread(std::this_thread::get_id())
{
  // The host's audio inputs are none: the instrument's inputs read silence
  // from their scratch buffers.
  for (int i = 0; i < OutChannelCount(); ++i)
    SetOutputConnected(i, true);
  mEditorEvents.reserve(kEditorEventCapacity);
  mReportedValues.resize(static_cast<size_t>(nParams));
}

IPlugCLAP::~IPlugCLAP()
{
  StopEditorEvents();
}

IPlugCLAP* IPlugCLAP::From(const clap_plugin_t* plugin)
{
  return static_cast<IPlugCLAP*>(plugin->plugin_data);
}

IGraphics* IPlugCLAP::Graphics() const
{
  return dynamic_cast<IGraphics*>(GetEditor());
}

bool IPlugCLAP::Init(const clap_plugin_t* plugin)
{
  IPlugCLAP* self = From(plugin);
  // init is the first main-thread call; the instance may have been made on
  // another thread.
  self->mMainThread = std::this_thread::get_id();
  CriticalSectionLock lock(self->GetLock());
  for (int i = 0; i < self->ParamCount(); ++i)
    self->mReportedValues[static_cast<size_t>(i)] = self->GetParam(i)->Value();
  return true;
}

void IPlugCLAP::Destroy(const clap_plugin_t* plugin)
{
  IPlugCLAP* self = From(plugin);
  self->GuiDestroy();
  delete self;
}

bool IPlugCLAP::Activate(const clap_plugin_t* plugin, double sampleRate, uint32_t,
                         uint32_t maxFrames)
{
  IPlugCLAP* self = From(plugin);
  // A rate or block size the engine cannot use is refused, keeping the
  // previous set-up.
  if (self->mActive || !std::isfinite(sampleRate) || sampleRate < 1.0 || maxFrames < 1)
    return false;
  {
    CriticalSectionLock lock(self->GetLock());
    const int blockSize = static_cast<int>(std::min(maxFrames, kLargestBlock));
    self->SetSampleRate(sampleRate);
    self->SetBlockSize(blockSize);
    if (self->GetBlockSize() != blockSize) return false;
    self->Reset();
    self->mQuietFrames = 0;
    self->mReportedTail = self->TailFrames();
  }
  self->OnActivate(true);
  self->mActive = true;
  return true;
}

void IPlugCLAP::Deactivate(const clap_plugin_t* plugin)
{
  IPlugCLAP* self = From(plugin);
  if (!self->mActive) return;
  self->OnActivate(false);
  self->mActive = false;
}

bool IPlugCLAP::StartProcessing(const clap_plugin_t*)
{
  return true;
}

void IPlugCLAP::StopProcessing(const clap_plugin_t*) {}

void IPlugCLAP::ResetPlugin(const clap_plugin_t* plugin)
{
  IPlugCLAP* self = From(plugin);
  CriticalSectionLock lock(self->GetLock());
  self->Reset();
  self->mQuietFrames = 0;
}

clap_process_status IPlugCLAP::Process(const clap_plugin_t* plugin, const clap_process_t* process)
{
  if (!process) return kClapProcessError;
  return From(plugin)->ProcessBlock(*process);
}

const void* IPlugCLAP::GetExtension(const clap_plugin_t* plugin, const char* id)
{
  if (!id) return nullptr;
  const std::pair<const char*, const void*> extensions[] = {
      {kClapExtAudioPorts, &kAudioPorts},
      {kClapExtNotePorts, &kNotePorts},
      {kClapExtParams, &kParamsExtension},
      {kClapExtState, &kStateExtension},
      {kClapExtLatency, &kLatency},
      {kClapExtTail, &kTail},
      {kClapExtPresetLoad, &kPresetLoadExtension},
      {kClapExtPresetLoadCompat, &kPresetLoadExtension},
      {kClapExtGui, From(plugin)->Graphics() ? &kGuiExtension : nullptr},
      {kClapExtTimerSupport, &kTimerSupportExtension},
      {kClapExtPosixFdSupport, &kPosixFdSupportExtension},
  };
  for (const auto& extension : extensions)
    if (std::strcmp(id, extension.first) == 0) return extension.second;
  return nullptr;
}

void IPlugCLAP::OnMainThreadCallback(const clap_plugin_t* plugin)
{
  IPlugCLAP* self = From(plugin);
  // A preset change rescans at once here, and that answers a pending
  // request too.
  self->SendPendingHostNotifications();
  if (!self->mRescanPending.exchange(false)) return;
  if (const auto* params = self->HostExtension<clap_host_params_t>(kClapExtParams))
    params->rescan(self->mHost, kClapParamRescanValues);
}

void IPlugCLAP::QueueEditorEvent(uint16_t type, int paramIdx, double value)
{
  if (!GetParam(paramIdx)) return;
  {
    CriticalSectionLock lock(GetLock());
    if (mEditorEvents.size() < mEditorEvents.capacity())
      mEditorEvents.push_back({type, static_cast<clap_id>(paramIdx), value});
  }
  // The host calls process or flush next; the editor never runs on the
  // audio thread, where this request is not allowed.
  if (const auto* params = HostExtension<clap_host_params_t>(kClapExtParams))
    params->request_flush(mHost);
}

void IPlugCLAP::BeginParamGesture(int paramIdx)
{
  QueueEditorEvent(kClapEventParamGestureBegin, paramIdx, 0.0);
}

void IPlugCLAP::NotifyHostParamValue(int paramIdx, double)
{
  // The plain value the parameter took, which is what CLAP hosts record.
  double value = 0.0;
  {
    CriticalSectionLock lock(GetLock());
    if (const IPlugParam* param = GetParam(paramIdx)) value = param->Value();
  }
  QueueEditorEvent(kClapEventParamValue, paramIdx, value);
}

void IPlugCLAP::EndParamGesture(int paramIdx)
{
  QueueEditorEvent(kClapEventParamGestureEnd, paramIdx, 0.0);
}

void IPlugCLAP::NotifyHostPresetChange()
{
  if (OnMainThread())
  {
    mRescanPending.store(false);
    if (const auto* params = HostExtension<clap_host_params_t>(kClapExtParams))
      params->rescan(mHost, kClapParamRescanValues);
    return;
  }
  RequestRescan();
}

void IPlugCLAP::RequestRescan()
{
  mRescanPending.store(true);
  if (mHost && mHost->request_callback) mHost->request_callback(mHost);
}

int IPlugCLAP::GetSamplePosition()
{
  return static_cast<int>(mSongPosSeconds * GetSampleRate());
}

double IPlugCLAP::GetTempo()
{
  return mTempo;
}

void IPlugCLAP::GetTimeSignature(int& numerator, int& denominator)
{
  numerator = mNumerator;
  denominator = mDenominator;
}

void IPlugCLAP::QueryTransport(ITransportInfo& info)
{
  info.mTempo = mTempo;
  info.mSamplePos = mSongPosSeconds * GetSampleRate();
  info.mPPQPos = mSongPosBeats;
  info.mLastBar = mBarStartBeats;
  info.mCycleStart = mLoopStartBeats;
  info.mCycleEnd = mLoopEndBeats;
  info.mNumerator = mNumerator;
  info.mDenominator = mDenominator;
  info.mTransportRunning = mPlaying;
  info.mLoopEnabled = mLooping;
}

void IPlugCLAP::ResizeEditor(int width, int height)
{
  if (width <= 0 || height <= 0) return;
  if (const auto* gui = HostExtension<clap_host_gui_t>(kClapExtGui))
    gui->request_resize(mHost, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}
