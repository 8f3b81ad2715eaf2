// The process call: the block's parameter values first, then its notes and
// MIDI messages with their frame offsets into the instrument's queue, the
// way the VST 3 adapter hands them over, then the render and the events
// for the host. Audio thread: the instance lock is held for the call and
// nothing allocates.

#include "iplug_clap.h"

#include "midi_event.h"

#include <algorithm>
#include <cmath>

namespace
{
// Exact silence this long after the last input event means the voice and
// the reverb have died out: longer than any path through the reverb, so a
// tail still travelling would have shown.
constexpr double kQuietSeconds = 1.0;
constexpr uint8_t kAllNotesOffController = 123;

// The event at index when it is a core event at least as large as Event
// says; null for other spaces, other types and short records.
template <typename Event>
const Event* CoreEvent(const clap_event_header_t* header, uint16_t type)
{
  if (!header || header->space_id != kClapCoreEventSpaceId || header->type != type ||
      header->size < sizeof(Event))
    return nullptr;
  return reinterpret_cast<const Event*>(header);
}

uint32_t EventCount(const clap_input_events_t* in)
{
  return in && in->size && in->get ? in->size(in) : 0;
}

template <typename Sample>
bool AllZero(Sample* const* channels, uint32_t count, uint32_t frames)
{
  for (uint32_t c = 0; c < count; ++c)
    if (channels[c] &&
        !std::all_of(channels[c], channels[c] + frames, [](Sample s) { return s == Sample(0); }))
      return false;
  return true;
}
} // namespace

clap_process_status IPlugCLAP::ProcessBlock(const clap_process_t& process)
{
  clap_process_status status = kClapProcessContinue;
  bool tailChanged = false;
  bool valuesChanged = false;
  {
    CriticalSectionLock lock(GetLock());
    ReadTransport(process.transport);
    ApplyParamEvents(process.in_events);
    if (DoesMidi()) HandleNoteEvents(process.in_events);
    const int tail = TailFrames();
    tailChanged = tail != mReportedTail;
    mReportedTail = tail;
    const bool rendered = RenderOutputs(process);
    valuesChanged = PushOutputEvents(process.out_events);
    if (rendered)
      status = QuietStatus(process, EventCount(process.in_events) > 0);
    else if (process.frames_count > 0)
      status = kClapProcessError;
  }
  // The host hears of it with the lock released.
  if (tailChanged)
    if (const auto* hostTail = HostExtension<clap_host_tail_t>(kClapExtTail))
      hostTail->changed(mHost);
  if (valuesChanged) RequestRescan();
  return status;
}

void IPlugCLAP::ReadTransport(const clap_event_transport_t* transport)
{
  if (!transport) return;
  const uint32_t flags = transport->flags;
  if (flags & kClapTransportHasTempo) mTempo = transport->tempo;
  if (flags & kClapTransportHasTimeSignature)
  {
    mNumerator = transport->tsig_num;
    mDenominator = transport->tsig_denom;
  }
  if (flags & kClapTransportHasBeatsTimeline)
  {
    const double factor = static_cast<double>(kClapBeatTimeFactor);
    mSongPosBeats = static_cast<double>(transport->song_pos_beats) / factor;
    mBarStartBeats = static_cast<double>(transport->bar_start) / factor;
    mLoopStartBeats = static_cast<double>(transport->loop_start_beats) / factor;
    mLoopEndBeats = static_cast<double>(transport->loop_end_beats) / factor;
  }
  if (flags & kClapTransportHasSecondsTimeline)
    mSongPosSeconds =
        static_cast<double>(transport->song_pos_seconds) / static_cast<double>(kClapSecTimeFactor);
  mPlaying = (flags & kClapTransportIsPlaying) != 0;
  mLooping = (flags & kClapTransportIsLoopActive) != 0;
}

void IPlugCLAP::ApplyParamEvents(const clap_input_events_t* in)
{
  const uint32_t count = EventCount(in);
  for (uint32_t i = 0; i < count; ++i)
  {
    const auto* event = CoreEvent<clap_event_param_value_t>(in->get(in, i), kClapEventParamValue);
    if (!event || event->param_id > 0x7FFFFFFF || std::isnan(event->value)) continue;
    const int paramIdx = static_cast<int>(event->param_id);
    IPlugParam* param = GetParam(paramIdx);
    if (!param) continue;
    // Plain values reach the parameter through its normalized form, as
    // every other format's do, so the same value sounds the same.
    SetParameterFromHost(paramIdx, param->ToNormalized(event->value));
    mReportedValues[static_cast<size_t>(paramIdx)] = param->Value();
  }
}

void IPlugCLAP::HandleNoteEvents(const clap_input_events_t* in)
{
  const uint32_t count = EventCount(in);
  for (uint32_t i = 0; i < count; ++i)
  {
    const clap_event_header_t* header = in->get(in, i);
    if (!header || header->space_id != kClapCoreEventSpaceId) continue;
    IMidiEvent message;
    message.mOffset = static_cast<int32_t>(std::min<uint32_t>(header->time, 0x7FFFFFFF));
    if (const auto* midi = CoreEvent<clap_event_midi_t>(header, kClapEventMidi))
    {
      // Status bytes only; a data byte in the status place is no message.
      if (midi->port_index != 0 || midi->data[0] < 0x80) continue;
      message.mStatus = midi->data[0];
      message.mData1 = midi->data[1] & 0x7F;
      message.mData2 = midi->data[2] & 0x7F;
      HandleMidiEvent(message);
      continue;
    }
    const auto* note = CoreEvent<clap_event_note_t>(header, header->type);
    if (!note || note->port_index != 0) continue;
    if (header->type == kClapEventNoteOn)
    {
      // A note-on needs its channel and key: wildcards (-1) or numbers
      // beyond MIDI would turn into another message.
      if (note->channel < 0 || note->channel > 15 || note->key < 0 || note->key > 127) continue;
      // In single precision, as the VST 3 adapter reads its hosts'
      // velocities, so both formats give the same MIDI velocity.
      const float velocity =
          std::isnan(note->velocity)
              ? 0.0f
              : std::min(std::max(static_cast<float>(note->velocity), 0.0f), 1.0f);
      message.mStatus = static_cast<uint8_t>(0x90 | note->channel);
      message.mData1 = static_cast<uint8_t>(note->key);
      message.mData2 = static_cast<uint8_t>(velocity * 127.0f);
    }
    else if (header->type == kClapEventNoteOff || header->type == kClapEventNoteChoke)
    {
      // Wildcards (-1) match every channel or key: the instrument's own
      // channel, all its notes. A choke ends the note as a release does,
      // the one way the instrument stops a kick.
      if (note->channel > 15 || note->key > 127 || note->channel < -1 || note->key < -1) continue;
      // The instrument keeps only its own channel's messages.
      const int first = note->channel >= 0 ? note->channel : 0;
      const int last = note->channel >= 0 ? note->channel : 15;
      for (int channel = first; channel <= last; ++channel)
      {
        message.mStatus = static_cast<uint8_t>((note->key >= 0 ? 0x80 : 0xB0) | channel);
        message.mData1 = note->key >= 0 ? static_cast<uint8_t>(note->key) : kAllNotesOffController;
        message.mData2 = 0;
        HandleMidiEvent(message);
      }
      continue;
    }
    else
    {
      continue;
    }
    HandleMidiEvent(message);
  }
}

bool IPlugCLAP::RenderOutputs(const clap_process_t& process)
{
  if (process.frames_count == 0 || !mActive) return false;
  if (process.audio_outputs_count < 1 || !process.audio_outputs) return false;
  const clap_audio_buffer_t& output = process.audio_outputs[0];
  const int channels = std::min<int>(static_cast<int>(std::min<uint32_t>(output.channel_count, 2)),
                                     OutChannelCount());
  const int frames = static_cast<int>(std::min<uint32_t>(process.frames_count, 0x7FFFFFFF));
  if (output.data64)
    AttachOutputsDouble(0, channels, output.data64);
  else if (output.data32)
    AttachOutputs(0, channels, output.data32);
  else
    return false;
  RunBlock(frames);
  process.audio_outputs[0].constant_mask = 0;
  return true;
}

clap_process_status IPlugCLAP::QuietStatus(const clap_process_t& process, bool hadEvents)
{
  const clap_audio_buffer_t& output = process.audio_outputs[0];
  const uint32_t channels = std::min<uint32_t>(output.channel_count, 2);
  const bool silent = output.data64 ? AllZero(output.data64, channels, process.frames_count)
                                    : AllZero(output.data32, channels, process.frames_count);
  mQuietFrames = hadEvents || !silent ? 0 : mQuietFrames + process.frames_count;
  return static_cast<double>(mQuietFrames) >= kQuietSeconds * GetSampleRate()
             ? kClapProcessSleep
             : kClapProcessContinue;
}

bool IPlugCLAP::PushOutputEvents(const clap_output_events_t* out)
{
  const bool canPush = out && out->try_push;
  for (const EditorEvent& queued : mEditorEvents)
  {
    if (!canPush) break;
    if (queued.type == kClapEventParamValue)
    {
      clap_event_param_value_t event{};
      event.header = {sizeof(event), 0, kClapCoreEventSpaceId, kClapEventParamValue, 0};
      event.param_id = queued.paramId;
      event.note_id = -1;
      event.port_index = -1;
      event.channel = -1;
      event.key = -1;
      event.value = queued.value;
      out->try_push(out, &event.header);
      mReportedValues[queued.paramId] = queued.value;
    }
    else
    {
      clap_event_param_gesture_t event{};
      event.header = {sizeof(event), 0, kClapCoreEventSpaceId, queued.type, 0};
      event.param_id = queued.paramId;
      out->try_push(out, &event.header);
    }
  }
  mEditorEvents.clear();
  // Values a preset or a controller changed: the host follows them without
  // recording them, and reads them all again on the main thread.
  if (!IsHostRefreshPending()) return false;
  for (int i = 0; canPush && i < ParamCount(); ++i)
  {
    const double value = GetParam(i)->Value();
    double& reported = mReportedValues[static_cast<size_t>(i)];
    if (value == reported) continue;
    clap_event_param_value_t event{};
    event.header = {sizeof(event), 0, kClapCoreEventSpaceId, kClapEventParamValue,
                    kClapEventDontRecord};
    event.param_id = static_cast<clap_id>(i);
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = value;
    if (out->try_push(out, &event.header)) reported = value;
  }
  return true;
}
