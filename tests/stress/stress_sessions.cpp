#include "stress_sessions.h"

#include "host_application.h"
#include "memory_stream.h"
#include "plugin_module.h"
#include "process_block.h"
#include "vst2_host.h"
#include "vst3_util.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <type_traits>

template <typename Sample>
void StressSession::Check(const Sample* samples, int frames)
{
  for (int k = 0; k < frames; ++k)
  {
    const Sample value = samples[k];
    const bool tiny = value != 0 && std::fabs(value) < std::numeric_limits<float>::min();
    tinySamples += tiny;
    const bool subnormal = std::is_same_v<Sample, float> && tiny;
    if (std::isfinite(value) && std::fabs(value) <= Sample(1.2) && !subnormal) continue;
    if (badSamples++ == 0)
    {
      std::ostringstream text;
      text << "sample " << k << " of a block of " << frames << ": " << double(value);
      firstBad = text.str();
    }
  }
}

namespace
{
constexpr int kLargestBlock = 4096;

class Vst2Session : public StressSession
{
public:
  Vst2Session(bool single, VstPluginMainProc builtIn)
      : mHost(builtIn ? "" : THUDWERK_VST2_PLUGIN_PATH), mSingle(single)
  {
    mEffect = builtIn ? mHost.InstantiateFrom(builtIn) : mHost.Instantiate();
    if (!mEffect) return;
    mHost.Dispatch(mEffect, effOpen);
    Restart(44100.0, kLargestBlock);
  }
  bool Ready() const { return mEffect != nullptr; }
  void Restart(double sampleRate, int maxBlock) override
  {
    mHost.Dispatch(mEffect, effMainsChanged, 0, 0);
    mHost.sampleRate = sampleRate;
    mHost.Dispatch(mEffect, effSetSampleRate, 0, 0, nullptr, float(sampleRate));
    mHost.Dispatch(mEffect, effSetBlockSize, 0, maxBlock);
    mHost.Dispatch(mEffect, effMainsChanged, 0, 1);
  }
  void Automate(int param, double normalized) override
  {
    mEffect->setParameter(mEffect, param, float(normalized));
  }
  void SetFromUserInterface(int param, double normalized) override { Automate(param, normalized); }
  void* PlugObject() override { return mEffect->object; }
  void SetBypass(bool bypassed) override
  {
    mHost.Dispatch(mEffect, effSetBypass, 0, bypassed ? 1 : 0);
  }
  void QueueMidi(const MidiBytes& m) override
  {
    mEvents.AddMidi(m.offset, m.status, m.data1, m.data2);
  }
  void Process(int frames) override
  {
    mHost.SendEvents(mEffect, mEvents);
    mEvents = Vst2EventList();
    if (mSingle)
    {
      mHost.ProcessReplacing(mEffect, mFloat, frames);
      for (auto& channel : mFloat.out)
        Check(channel.data(), frames);
    }
    else
    {
      mHost.ProcessDoubleReplacing(mEffect, mDouble, frames);
      for (auto& channel : mDouble.out)
        Check(channel.data(), frames);
    }
  }
  // Both chunks, program then bank, each with its size in front.
  std::vector<char> SaveState() override
  {
    std::vector<char> state;
    for (VstInt32 program : {1, 0})
    {
      void* data = nullptr;
      const VstIntPtr size = mHost.Dispatch(mEffect, effGetChunk, program, 0, &data);
      const auto* bytes = static_cast<const char*>(data);
      const auto length = static_cast<uint32_t>(size > 0 && data ? size : 0);
      state.insert(state.end(), reinterpret_cast<const char*>(&length),
                   reinterpret_cast<const char*>(&length) + 4);
      state.insert(state.end(), bytes, bytes + length);
    }
    return state;
  }
  bool RestoreState(const std::vector<char>& state) override
  {
    uint32_t programSize = 0;
    std::memcpy(&programSize, state.data(), 4);
    std::vector<char> bank(state.begin() + 8 + programSize, state.end());
    std::vector<char> program(state.begin() + 4, state.begin() + 4 + programSize);
    return mHost.Dispatch(mEffect, effSetChunk, 0, VstIntPtr(bank.size()), bank.data()) == 1 &&
           mHost.Dispatch(mEffect, effSetChunk, 1, VstIntPtr(program.size()), program.data()) == 1;
  }

private:
  Vst2Host mHost;
  AEffect* mEffect = nullptr;
  bool mSingle;
  Vst2EventList mEvents;
  AudioBuffers<float> mFloat{2, 2, kLargestBlock};
  AudioBuffers<double> mDouble{2, 2, kLargestBlock};
};

class Vst3Session : public StressSession
{
public:
  static constexpr Steinberg::Vst::ParamID kBypass = 0x62706173; // 'bpas'

  Vst3Session(bool single, Steinberg::IPluginFactory* (*builtIn)())
      : mBlock(single ? Steinberg::Vst::kSample32 : Steinberg::Vst::kSample64, {2}, {2},
               kLargestBlock),
        mSampleSize(single ? Steinberg::Vst::kSample32 : Steinberg::Vst::kSample64)
  {
    using namespace Steinberg;
    using namespace Steinberg::Vst;
    IPluginFactory* factory = builtIn ? builtIn() : nullptr;
    if (!builtIn)
    {
      std::string error;
      mModule = PluginModule::Load(ModuleBinaryPath(THUDWERK_VST3_BUNDLE, "Thudwerk"), &error);
      if (mModule) factory = mModule->Factory();
    }
    const FUID classId(0xF2AEE70D, 0x00DE4F4E, 0x56726E61, 0x56726335);
    IComponent* created = nullptr;
    if (!factory || factory->createInstance(classId.toTUID(), IComponent::iid,
                                            reinterpret_cast<void**>(&created)) != kResultOk)
      return;
    mComponent = owned(created);
    mProcessor = Query<IAudioProcessor>(mComponent);
    mController = Query<IEditController>(mComponent);
    if (!mProcessor || !mController || mComponent->initialize(mHostApp->unknownCast()) != kResultOk)
      return;
    mComponent->activateBus(kAudio, kOutput, 0, true);
    mComponent->activateBus(kEvent, kInput, 0, true);
    Restart(44100.0, kLargestBlock);
    mReady = true;
  }
  ~Vst3Session() override
  {
    if (!mComponent) return;
    mProcessor->setProcessing(false);
    mComponent->setActive(false);
    mComponent->terminate();
  }
  bool Ready() const { return mReady; }
  void Restart(double sampleRate, int maxBlock) override
  {
    using namespace Steinberg::Vst;
    mProcessor->setProcessing(false);
    mComponent->setActive(false);
    ProcessSetup setup{kRealtime, mSampleSize, maxBlock, sampleRate};
    mProcessor->setupProcessing(setup);
    mComponent->setActive(true);
    mProcessor->setProcessing(true);
  }
  void Automate(int param, double normalized) override
  {
    mBlock.Changes().Add(Steinberg::Vst::ParamID(param), 0, normalized);
  }
  void SetFromUserInterface(int param, double normalized) override
  {
    mController->setParamNormalized(Steinberg::Vst::ParamID(param), normalized);
  }
  void* PlugObject() override { return mComponent.get(); }
  void SetBypass(bool bypassed) override { mBlock.Changes().Add(kBypass, 0, bypassed ? 1 : 0); }
  void QueueMidi(const MidiBytes& m) override
  {
    const int kind = m.status & 0xF0;
    const auto channel = Steinberg::int16(m.status & 0x0F);
    if (kind == 0x90)
      mBlock.Events().AddNoteOn(m.offset, channel, m.data1, float(m.data2) / 127.0f);
    else if (kind == 0x80)
      mBlock.Events().AddNoteOff(m.offset, channel, m.data1);
  }
  void Process(int frames) override
  {
    Steinberg::Vst::ProcessData& data = mBlock.Data(frames);
    mProcessor->process(data);
    const Steinberg::Vst::AudioBusBuffers& out = data.outputs[0];
    for (int c = 0; c < out.numChannels; ++c)
    {
      if (mSampleSize == Steinberg::Vst::kSample32)
        Check(out.channelBuffers32[c], frames);
      else
        Check(out.channelBuffers64[c], frames);
    }
    mBlock.Changes().Clear();
    mBlock.Events().Clear();
  }
  std::vector<char> SaveState() override
  {
    Steinberg::IPtr<MemoryStream> stream = Steinberg::owned(new MemoryStream);
    if (mComponent->getState(stream) != Steinberg::kResultOk) return {};
    return stream->Bytes();
  }
  bool RestoreState(const std::vector<char>& state) override
  {
    Steinberg::IPtr<MemoryStream> stream = Steinberg::owned(new MemoryStream(state));
    return mComponent->setState(stream) == Steinberg::kResultOk;
  }

private:
  std::unique_ptr<PluginModule> mModule;
  Steinberg::IPtr<HostApplication> mHostApp = Steinberg::owned(new HostApplication("Stress"));
  Steinberg::IPtr<Steinberg::Vst::IComponent> mComponent;
  Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> mProcessor;
  Steinberg::IPtr<Steinberg::Vst::IEditController> mController;
  ProcessBlock mBlock;
  Steinberg::int32 mSampleSize;
  bool mReady = false;
};
} // namespace

std::unique_ptr<StressSession> OpenVst2Session(bool singlePrecision, VstPluginMainProc builtIn)
{
  auto session = std::make_unique<Vst2Session>(singlePrecision, builtIn);
  return session->Ready() ? std::move(session) : nullptr;
}

std::unique_ptr<StressSession> OpenVst3Session(bool singlePrecision,
                                               Steinberg::IPluginFactory* (*builtIn)())
{
  auto session = std::make_unique<Vst3Session>(singlePrecision, builtIn);
  return session->Ready() ? std::move(session) : nullptr;
}
