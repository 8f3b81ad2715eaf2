// The plug-in side's ports and its run call: parameter ports at block
// start, then the MIDI of the block into the base's queue, then the render
// with the enable port's fade. Audio thread, lock held, nothing allocates.

#include "iplug_lv2.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace
{
// How long the enable port takes to fade the output out or back in.
constexpr double kFadeSeconds = 0.005;
} // namespace

bool IPlugLV2::IsParamPort(uint32_t port) const
{
  return port >= kLv2FirstParamPort && port < Lv2EnabledPort(ParamCount());
}

void IPlugLV2::ConnectPort(uint32_t port, void* data)
{
  if (IsParamPort(port))
    mParamPorts[port - kLv2FirstParamPort] = static_cast<const float*>(data);
  else if (port == kLv2EventsPort)
    mEventsPort = data;
  else if (port == kLv2OutLeftPort || port == kLv2OutRightPort)
    mOutputs[port - kLv2OutLeftPort] = static_cast<float*>(data);
  else if (port == Lv2EnabledPort(ParamCount()))
    mEnabledPort = static_cast<const float*>(data);
}

void IPlugLV2::Activate()
{
  CriticalSectionLock lock(GetLock());
  SetBlockSize(mBlockLength);
  Reset();
  mGain = 1.0;
  mSilenced = false;
}

double IPlugLV2::PlainFromPort(int paramIdx, float value) const
{
  const IPlugParam* param = GetParam(paramIdx);
  // A toggled port is on above 0; the instrument reads the switch as a
  // factor, so it gets exactly its minimum or maximum.
  if (param->IsSwitch()) return value > 0.0f ? param->Max() : param->Min();
  return value;
}

bool IPlugLV2::PortValueChanged(int paramIdx, float value)
{
  float& last = mHostPortValues[static_cast<size_t>(paramIdx)];
  // The first value always counts: the host's port is a float, and the
  // parameter takes it as it is, whatever its own default was.
  const bool changed = std::isnan(last) || !(last == value);
  last = value;
  return changed;
}

void IPlugLV2::ApplyPortChanges()
{
  for (int i = 0; i < ParamCount(); ++i)
  {
    const float* port = mParamPorts[static_cast<size_t>(i)];
    if (!port || std::isnan(*port)) continue;
    const float value = *port;
    if (mAdoptPortValues)
      mHostPortValues[static_cast<size_t>(i)] = value;
    else if (PortValueChanged(i, value))
      SetParameterFromHost(i, GetParam(i)->ToNormalized(PlainFromPort(i, value)));
  }
  mAdoptPortValues = false;
}

void IPlugLV2::HandleAtomEvents()
{
  const auto* sequence = static_cast<const LV2_Atom_Sequence*>(mEventsPort);
  // A sequence timed in beats carries no frame offsets: its events play at
  // the block start.
  const bool frameTimed = sequence && sequence->body.unit == 0;
  if (!sequence || !DoesMidi()) return;
  LV2_ATOM_SEQUENCE_FOREACH(sequence, event)
  {
    if (event->body.type != mUrids.midiEvent || event->body.size < 1) continue;
    const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
    // Channel messages only, and only complete ones; system messages are
    // not the instrument's.
    const uint8_t status = bytes[0];
    if (status < 0x80 || status >= 0xF0) continue;
    const uint32_t length = lv2_midi_message_type(bytes) == LV2_MIDI_MSG_PGM_CHANGE ||
                                    lv2_midi_message_type(bytes) == LV2_MIDI_MSG_CHANNEL_PRESSURE
                                ? 2
                                : 3;
    if (event->body.size < length) continue;
    IMidiEvent message;
    message.mOffset =
        frameTimed ? static_cast<int32_t>(std::clamp<int64_t>(event->time.frames, 0, INT_MAX)) : 0;
    message.mStatus = status;
    message.mData1 = bytes[1];
    message.mData2 = length == 3 ? bytes[2] : 0;
    HandleMidiEvent(message);
  }
}

void IPlugLV2::Run(uint32_t frames)
{
  CriticalSectionLock lock(GetLock());
  ApplyPortChanges();
  const bool enabled = !mEnabledPort || !(*mEnabledPort <= 0.0f);
  if (enabled && mSilenced)
  {
    // Nothing from before the fade-out plays afterwards, and the fresh
    // start needs no fade.
    Reset();
    mSilenced = false;
    mGain = 1.0;
  }
  if (!mSilenced) HandleAtomEvents();
  const int count = static_cast<int>(std::min<uint32_t>(frames, INT_MAX));
  if (count == 0) return;
  if (mSilenced)
  {
    for (float* out : mOutputs)
      if (out) std::fill(out, out + count, 0.0f);
    return;
  }
  for (int c = 0; c < 2; ++c)
    SetOutputConnected(c, mOutputs[c] != nullptr);
  AttachOutputs(0, 2, mOutputs);
  RunBlock(count);
  FadeOutputs(mOutputs, count, enabled);
}

void IPlugLV2::FadeOutputs(float* const* outputs, int frames, bool enabled)
{
  const double target = enabled ? 1.0 : 0.0;
  if (mGain == target) return;
  const double step = 1.0 / (kFadeSeconds * GetSampleRate());
  for (int k = 0; k < frames; ++k)
  {
    mGain = enabled ? std::min(mGain + step, 1.0) : std::max(mGain - step, 0.0);
    for (int c = 0; c < 2; ++c)
      if (outputs[c]) outputs[c][k] = static_cast<float>(outputs[c][k] * mGain);
  }
  mSilenced = mGain == 0.0;
}
