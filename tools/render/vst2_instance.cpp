// A VST2 binary driven through VSTPluginMain and its AEffect record.

#include "plugin_instance.h"

#include "vst2_host.h"

#include <algorithm>
#include <cstdio>

namespace
{

template <typename Sample>
void CopyOutputs(const AudioBuffers<Sample>& buffers, int frames, double* left, double* right)
{
  std::copy(buffers.out[0].begin(), buffers.out[0].begin() + frames, left);
  std::copy(buffers.out[1].begin(), buffers.out[1].begin() + frames, right);
}

class Vst2Instance : public PluginInstance
{
public:
  Vst2Instance(const std::string& path, const PluginSettings& settings)
      : mHost(path), mSettings(settings)
  {
    mHost.productName = "thudwerk-render";
    mHost.processLevel = kVstProcessLevelOffline;
  }

  bool Start(std::string* error)
  {
    if (!mHost.Library().IsLoaded())
    {
      *error = "cannot load the VST2 plug-in: " + mHost.Library().LoadError();
      return false;
    }
    mHost.timeInfo.flags |= kVstTransportPlaying;
    mEffect = mHost.InstantiateAndStart(mSettings.sampleRate, mSettings.maxBlockFrames);
    if (!mEffect)
    {
      *error = "the binary has no VSTPluginMain entry or it returned no plug-in";
      return false;
    }
    if (mEffect->magic != kEffectMagic)
    {
      *error = "the entry point returned something that is not a VST2 plug-in";
      return false;
    }
    if (mEffect->numOutputs < 2)
    {
      *error = "the plug-in has fewer than two outputs";
      return false;
    }
    if (mSettings.doublePrecision && !(mEffect->flags & effFlagsCanDoubleReplacing))
    {
      *error = "the plug-in cannot process in 64-bit";
      return false;
    }
    // Buffers for every channel the plug-in declares; only the first two
    // outputs are kept.
    const int frames = mSettings.maxBlockFrames;
    mSingle =
        std::make_unique<AudioBuffers<float>>(mEffect->numInputs, mEffect->numOutputs, frames);
    mDouble =
        std::make_unique<AudioBuffers<double>>(mEffect->numInputs, mEffect->numOutputs, frames);
    return true;
  }

  std::string FormatName() const override { return "VST2"; }

  std::vector<PluginParameter> Parameters() override
  {
    std::vector<PluginParameter> result;
    for (VstInt32 i = 0; i < mEffect->numParams; ++i)
      result.push_back(PluginParameter{int(i), mHost.DispatchForText(mEffect, effGetParamName, i)});
    return result;
  }

  bool SetParameter(int id, double plainValue) override
  {
    // The plug-in reads the value from text in its own units, so it keeps
    // every digit (setParameter would take a normalized float).
    char text[64];
    std::snprintf(text, sizeof(text), "%.17g", plainValue);
    return mHost.Dispatch(mEffect, effString2Parameter, id, 0, text) == 1;
  }

  bool EditorSize(int& width, int& height) override
  {
    ERect* rect = nullptr;
    if (!mHost.Dispatch(mEffect, effEditGetRect, 0, 0, &rect) || !rect) return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return width > 0 && height > 0;
  }
  bool OpenEditor(void* parentWindow) override
  {
    return mHost.Dispatch(mEffect, effEditOpen, 0, 0, parentWindow) == 1;
  }
  void IdleEditor() override { mHost.Dispatch(mEffect, effEditIdle); }
  void CloseEditor() override { mHost.Dispatch(mEffect, effEditClose); }

  bool QueueMidi(uint8_t status, uint8_t data1, uint8_t data2) override
  {
    mEvents.AddMidi(0, status, data1, data2);
    return true;
  }

  bool Process(int frames, const BlockTransport& transport, double* left, double* right,
               std::string*) override
  {
    mHost.timeInfo.samplePos = double(transport.samplePosition);
    mHost.timeInfo.tempo = transport.tempo;
    if (mEvents.Size() > 0)
    {
      mHost.SendEvents(mEffect, mEvents);
      mEvents = Vst2EventList();
    }
    if (mSettings.doublePrecision)
    {
      mHost.ProcessDoubleReplacing(mEffect, *mDouble, frames);
      CopyOutputs(*mDouble, frames, left, right);
    }
    else
    {
      mHost.ProcessReplacing(mEffect, *mSingle, frames);
      CopyOutputs(*mSingle, frames, left, right);
    }
    return true;
  }

private:
  Vst2Host mHost;
  PluginSettings mSettings;
  AEffect* mEffect = nullptr;
  std::unique_ptr<AudioBuffers<float>> mSingle;
  std::unique_ptr<AudioBuffers<double>> mDouble;
  Vst2EventList mEvents;
};

} // namespace

std::unique_ptr<PluginInstance> OpenVst2Plugin(const std::string& path,
                                               const PluginSettings& settings, std::string* error)
{
  auto instance = std::make_unique<Vst2Instance>(path, settings);
  if (!instance->Start(error)) return nullptr;
  return instance;
}
