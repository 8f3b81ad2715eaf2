// The audio processor side: set-up, bus arrangements and the process call.
// process runs on the host's audio thread: it holds the instance lock and
// allocates nothing.

#include "iplug_vst3.h"

#include "graphics.h"
#include "param_text.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultOk
                                                                            : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples()
{
  return static_cast<uint32>(GetLatency());
}

uint32 PLUGIN_API IPlugVST3::getTailSamples()
{
  return static_cast<uint32>(GetTailSize());
}

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup)
{
  // A zero, negative or non-finite rate or block size from a faulty host
  // would leave the engine and the scratch buffers unusable; the previous
  // set-up stays.
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultOk ||
      !std::isfinite(setup.sampleRate) || setup.sampleRate <= 0.0 || setup.maxSamplesPerBlock <= 0)
    return kResultFalse;
  CriticalSectionLock lock(GetLock());
  SetBypassed(false);
  SetSampleRate(setup.sampleRate);
  SetBlockSize(setup.maxSamplesPerBlock);
  Reset();
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts)
{
  const int inputChannels = numIns > 0 && inputs ? SpeakerArr::getChannelCount(inputs[0]) : 0;
  const int outputChannels = numOuts > 0 && outputs ? SpeakerArr::getChannelCount(outputs[0]) : 0;
  if (!LegalIO(inputChannels, outputChannels)) return kResultFalse;
  // The first bus of each direction takes the offered channel count; its
  // name, type, flags and activation stay.
  AudioBus* mainIn = getAudioInput(0);
  if (mainIn && SpeakerArr::getChannelCount(mainIn->getArrangement()) != inputChannels)
    mainIn->setArrangement(SpeakerArrangementForChannels(inputChannels));
  AudioBus* mainOut = getAudioOutput(0);
  if (mainOut && SpeakerArr::getChannelCount(mainOut->getArrangement()) != outputChannels)
    mainOut->setArrangement(SpeakerArrangementForChannels(outputChannels));
  return numIns == 1 ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3::process(ProcessData& data)
{
  CriticalSectionLock lock(GetLock());
  if (data.processContext) mProcessContext = *data.processContext;
  ApplyParameterChanges(data.inputParameterChanges);
  if (DoesMidi()) HandleNoteEvents(data.inputEvents);
  // Hosts flush parameter changes with blocks of no samples and no buffers.
  if (data.numSamples <= 0) return kResultOk;
  const bool single = data.symbolicSampleSize == kSample32;
  if (!single && data.symbolicSampleSize != kSample64) return kResultOk;
  ConnectInputs(data);
  ConnectOutputs(data);
  if (IsBypassed())
    BypassBlock(data.numSamples);
  else
    RunBlock(data.numSamples);
  FlagSilentOutputs(data);
  return kResultOk;
}

void IPlugVST3::SetBypassState(bool bypassed)
{
  const bool resumes = IsBypassed() && !bypassed;
  SetBypassed(bypassed);
  if (resumes) Reset();
}

uint32 PLUGIN_API IPlugVST3::getProcessContextRequirements()
{
  // The project time in samples comes with every context; it needs no flag.
  return kNeedTempo | kNeedTimeSignature | kNeedTransportState;
}

void IPlugVST3::ApplyParameterChanges(IParameterChanges* changes)
{
  if (!changes) return;
  const int32 count = changes->getParameterCount();
  for (int32 i = 0; i < count; ++i)
  {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    // One value per block: the last point wins.
    int32 offset = 0;
    ParamValue value = 0.0;
    if (queue->getPoint(queue->getPointCount() - 1, offset, value) != kResultOk) continue;
    ApplyParameterChange(queue->getParameterId(), value);
  }
}

void IPlugVST3::ApplyParameterChange(ParamID id, ParamValue value)
{
  if (std::isnan(value)) return;
  if (id == kBypassParamId)
  {
    // Only effects have a bypass parameter.
    if (!IsInstrument()) SetBypassState(value > 0.5);
    return;
  }
  if (id == kPresetParamId)
  {
    // Hosts resend the program they last saw (after setState, say): the
    // program already current is left alone, with the user's changes to it.
    const int presetIdx = PresetIndexFromNormalized(value);
    if (presetIdx != GetCurrentPresetIdx()) ApplyPreset(presetIdx);
    return;
  }
  if (id > 0x7FFFFFFF) return;
  SetParameterFromHost(static_cast<int>(id), value);
}

void IPlugVST3::HandleNoteEvents(IEventList* events)
{
  if (!events) return;
  const int32 count = events->getEventCount();
  for (int32 i = 0; i < count; ++i)
  {
    Event e{};
    if (events->getEvent(i, e) != kResultOk) continue;
    IMidiEvent message;
    message.mOffset = e.sampleOffset;
    if (e.type == Event::kNoteOnEvent)
    {
      // MIDI carries 16 channels and 7-bit notes; anything else from a
      // faulty host would turn into another kind of message.
      if (e.noteOn.channel < 0 || e.noteOn.channel > 15 || e.noteOn.pitch < 0 ||
          e.noteOn.pitch > 127)
        continue;
      const float velocity =
          std::isnan(e.noteOn.velocity) ? 0.0f : std::min(std::max(e.noteOn.velocity, 0.0f), 1.0f);
      message.mStatus = static_cast<uint8_t>(0x90 | e.noteOn.channel);
      message.mData1 = static_cast<uint8_t>(e.noteOn.pitch);
      // In single precision, like the host's own velocity / 127: a double
      // product would truncate most MIDI velocities to the one below.
      message.mData2 = static_cast<uint8_t>(velocity * 127.0f);
    }
    else if (e.type == Event::kNoteOffEvent)
    {
      if (e.noteOff.channel < 0 || e.noteOff.channel > 15 || e.noteOff.pitch < 0 ||
          e.noteOff.pitch > 127)
        continue;
      message.mStatus = static_cast<uint8_t>(0x80 | e.noteOff.channel);
      message.mData1 = static_cast<uint8_t>(e.noteOff.pitch);
      message.mData2 = 0;
    }
    else
    {
      continue;
    }
    HandleMidiEvent(message);
  }
}

void IPlugVST3::ConnectInputs(const ProcessData& data)
{
  if (data.numInputs <= 0 || !data.inputs) return;
  const AudioBusBuffers& bus = data.inputs[0];
  const int connected = ClampChannelCount(bus.numChannels, InChannelCount());
  for (int i = 0; i < InChannelCount(); ++i)
    SetInputConnected(i, i < connected);
  if (data.symbolicSampleSize == kSample32)
    AttachInputs(0, connected, bus.channelBuffers32);
  else
    AttachInputsDouble(0, connected, bus.channelBuffers64);
}

template <typename BusFunction>
void IPlugVST3::ForEachWrittenOutputBus(ProcessData& data, BusFunction function)
{
  int first = 0;
  const int32 busCount = static_cast<int32>(audioOutputs.size());
  for (int32 b = 0; b < busCount && first < OutChannelCount(); ++b)
  {
    AudioBus* bus = getAudioOutput(b);
    const int busChannels = SpeakerArr::getChannelCount(bus->getArrangement());
    // Only the buffers the host really passed are used, whatever the bus
    // claims.
    AudioBusBuffers* buffers = b < data.numOutputs && data.outputs ? &data.outputs[b] : nullptr;
    const int hostChannels = buffers && bus->isActive() ? std::max(buffers->numChannels, 0) : 0;
    const int written = std::min({busChannels, hostChannels, OutChannelCount() - first});
    if (written > 0) function(*buffers, first, written);
    first += busChannels;
  }
}

void IPlugVST3::ConnectOutputs(ProcessData& data)
{
  for (int i = 0; i < OutChannelCount(); ++i)
    SetOutputConnected(i, false);
  ForEachWrittenOutputBus(data,
                          [&](AudioBusBuffers& buffers, int first, int written)
                          {
                            for (int c = 0; c < written; ++c)
                              SetOutputConnected(first + c, true);
                            if (data.symbolicSampleSize == kSample32)
                              AttachOutputs(first, written, buffers.channelBuffers32);
                            else
                              AttachOutputsDouble(first, written, buffers.channelBuffers64);
                          });
}

// Bit c set for every channel c below count whose samples are all zero; a
// missing channel array or channel counts as not silent.
template <typename Sample>
static uint64 SilentChannelBits(Sample* const* channels, int count, int frames)
{
  uint64 bits = 0;
  for (int c = 0; channels && c < count; ++c)
    if (channels[c] &&
        std::all_of(channels[c], channels[c] + frames, [](Sample s) { return s == Sample(0); }))
      bits |= uint64(1) << c;
  return bits;
}

void IPlugVST3::FlagSilentOutputs(ProcessData& data)
{
  // Hosts skip the work after a plug-in for channels it marks silent.
  const bool single = data.symbolicSampleSize == kSample32;
  ForEachWrittenOutputBus(
      data,
      [&](AudioBusBuffers& buffers, int, int written)
      {
        const uint64 flags =
            single ? SilentChannelBits(buffers.channelBuffers32, written, data.numSamples)
                   : SilentChannelBits(buffers.channelBuffers64, written, data.numSamples);
        buffers.silenceFlags = flags;
      });
}
