// Construction, the host's features and options, and the editor side's
// port traffic.

#include "iplug_lv2.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// Hosts that name no block length still process blocks of any size: the
// base renders in pieces of this many frames.
constexpr int kDefaultBlockLength = 4096;

bool UriIs(const char* uri, const char* expected)
{
  return uri && std::strcmp(uri, expected) == 0;
}
} // namespace

IPlugLV2::IPlugLV2(const Lv2HostContext* host, int nParams, const char* channelIO, int nPresets,
                   const char* effectName, const char* productName, const char* makerName,
                   int32_t version, int32_t uniqueID, int32_t makerID, bool doesMidi,
                   bool doesStateChunks, bool isInstrument)
    : IPlugBase(nParams, channelIO, nPresets, effectName, productName, makerName, version, uniqueID,
                makerID, doesMidi, doesStateChunks, isInstrument, kApiLV2),
      mParamPorts(static_cast<size_t>(nParams), nullptr),
      mHostPortValues(static_cast<size_t>(nParams), std::nanf(""))
{
  // The rate is fixed for the instance's life and must be known before the
  // instrument builds its engine.
  if (host && std::isfinite(host->sampleRate) && host->sampleRate > 0.0)
    SetSampleRate(host->sampleRate);
  if (!host) return;
  mWritePort = host->writePort;
  mController = host->controller;
  ReadFeatures(host->features);
}

void IPlugLV2::ReadFeatures(const LV2_Feature* const* features)
{
  const void* options = nullptr;
  for (int i = 0; features && features[i]; ++i)
  {
    const LV2_Feature* feature = features[i];
    if (UriIs(feature->URI, LV2_URID__map))
      mMap = static_cast<LV2_URID_Map*>(feature->data);
    else if (UriIs(feature->URI, LV2_OPTIONS__options))
      options = feature->data;
    else if (UriIs(feature->URI, LV2_UI__resize))
      mUiResize = static_cast<const LV2UI_Resize*>(feature->data);
    else if (UriIs(feature->URI, LV2_UI__touch))
      mUiTouch = static_cast<const LV2UI_Touch*>(feature->data);
  }
  if (mMap && !mMap->map) mMap = nullptr;
  if (!mMap) return;
  auto map = [this](const char* uri) { return mMap->map(mMap->handle, uri); };
  mUrids.midiEvent = map(LV2_MIDI__MidiEvent);
  mUrids.atomChunk = map(LV2_ATOM__Chunk);
  mUrids.atomInt = map(LV2_ATOM__Int);
  mUrids.atomFloat = map(LV2_ATOM__Float);
  mUrids.stateKey = map(kLv2StateKeyUri);
  mUrids.maxBlockLength = map(LV2_BUF_SIZE__maxBlockLength);
  mUrids.nominalBlockLength = map(LV2_BUF_SIZE__nominalBlockLength);
  mUrids.scaleFactor = map(LV2_UI__scaleFactor);
  ReadOptions(options);
}

void IPlugLV2::ReadOptions(const void* options)
{
  int maxLength = 0;
  int nominalLength = 0;
  for (auto* option = static_cast<const LV2_Options_Option*>(options); option && option->key;
       ++option)
  {
    if (!option->value) continue;
    if (option->type == mUrids.atomInt && option->size == sizeof(int32_t))
    {
      int32_t value = 0;
      std::memcpy(&value, option->value, sizeof value);
      if (option->key == mUrids.maxBlockLength) maxLength = value;
      if (option->key == mUrids.nominalBlockLength) nominalLength = value;
    }
    else if (option->type == mUrids.atomFloat && option->size == sizeof(float) &&
             option->key == mUrids.scaleFactor)
    {
      float value = 0.0f;
      std::memcpy(&value, option->value, sizeof value);
      if (std::isfinite(value) && value > 0.0f) mScaleFactor = value;
    }
  }
  // The nominal length is no bound: blocks may be longer.
  mBlockLength = maxLength > 0 ? maxLength : std::max(nominalLength, kDefaultBlockLength);
}

void IPlugLV2::GetTimeSignature(int& numerator, int& denominator)
{
  numerator = 0;
  denominator = 0;
}

bool IPlugLV2::ForwardsToHost(int paramIdx) const
{
  return mWritePort && GetParam(paramIdx) && !IsPresetAction(paramIdx);
}

void IPlugLV2::WritePort(int paramIdx, float value)
{
  mHostPortValues[static_cast<size_t>(paramIdx)] = value;
  mWritePort(mController, kLv2FirstParamPort + static_cast<uint32_t>(paramIdx), sizeof value, 0,
             &value);
}

void IPlugLV2::BeginParamGesture(int paramIdx)
{
  if (mUiTouch && ForwardsToHost(paramIdx))
    mUiTouch->touch(mUiTouch->handle, kLv2FirstParamPort + static_cast<uint32_t>(paramIdx), true);
}

void IPlugLV2::EndParamGesture(int paramIdx)
{
  if (mUiTouch && ForwardsToHost(paramIdx))
    mUiTouch->touch(mUiTouch->handle, kLv2FirstParamPort + static_cast<uint32_t>(paramIdx), false);
}

void IPlugLV2::NotifyHostParamValue(int paramIdx, double)
{
  if (!ForwardsToHost(paramIdx)) return;
  float value = 0.0f;
  {
    CriticalSectionLock lock(GetLock());
    value = static_cast<float>(GetParam(paramIdx)->Value());
  }
  WritePort(paramIdx, value);
}

void IPlugLV2::NotifyHostPresetChange()
{
  if (!mWritePort) return;
  std::vector<float> values(static_cast<size_t>(ParamCount()));
  {
    CriticalSectionLock lock(GetLock());
    for (int i = 0; i < ParamCount(); ++i)
      values[static_cast<size_t>(i)] = static_cast<float>(GetParam(i)->Value());
  }
  for (int i = 0; i < ParamCount(); ++i)
  {
    const float host = mHostPortValues[static_cast<size_t>(i)];
    const float value = values[static_cast<size_t>(i)];
    if (ForwardsToHost(i) && !(host == value)) WritePort(i, value);
  }
}

void IPlugLV2::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
  if (format != 0 || bufferSize != sizeof(float) || !buffer || !IsParamPort(port)) return;
  float value = 0.0f;
  std::memcpy(&value, buffer, sizeof value);
  if (std::isnan(value)) return;
  const int paramIdx = static_cast<int>(port - kLv2FirstParamPort);
  bool changed = false;
  {
    CriticalSectionLock lock(GetLock());
    // The echo of the editor's own write changes nothing.
    changed = PortValueChanged(paramIdx, value);
  }
  if (!changed) return;
  SetParameterFromHost(paramIdx, GetParam(paramIdx)->ToNormalized(PlainFromPort(paramIdx, value)));
  // A preset the host chose is loaded here too; its values go back out.
  SendPendingHostNotifications();
}

void IPlugLV2::ResizeEditor(int width, int height)
{
  if (mUiResize && mUiResize->ui_resize) mUiResize->ui_resize(mUiResize->handle, width, height);
}
