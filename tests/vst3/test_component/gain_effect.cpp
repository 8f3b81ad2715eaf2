// A small effect module that exercises SingleComponentEffect and
// CPluginFactory through the same entry points as the instrument: one gain
// parameter, stereo audio in and out, one event input, a 4-byte state.

#include "cplugin_factory.h"
#include "module_entry.h"
#include "single_component_effect.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "public.sdk/source/vst/vstparameters.h"

#include <algorithm>
#include <atomic>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

std::atomic<int> gLiveInstances{0};

const ParamID kGainId = 7;

class GainEffect : public SingleComponentEffect
{
public:
  GainEffect() { ++gLiveInstances; }
  ~GainEffect() override { --gLiveInstances; }

  tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE
  {
    const tresult result = SingleComponentEffect::initialize(context);
    if (result != kResultOk) return result;
    addAudioInput(STR16("In"), SpeakerArr::kStereo);
    addAudioOutput(STR16("Out"), SpeakerArr::kStereo);
    addEventInput(STR16("Events"), 1);
    parameters.addParameter(new RangeParameter(STR16("Gain"), kGainId, STR16("x"), 0.0, 2.0, 1.0, 0,
                                               ParameterInfo::kCanAutomate));
    return kResultOk;
  }

  tresult PLUGIN_API canProcessSampleSize(int32 size) SMTG_OVERRIDE
  {
    return size == kSample32 || size == kSample64 ? kResultOk : kResultFalse;
  }

  tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE
  {
    Parameter* gainParam = getParameterObject(kGainId);
    if (data.inputParameterChanges && gainParam)
    {
      for (int32 i = 0; i < data.inputParameterChanges->getParameterCount(); ++i)
      {
        IParamValueQueue* queue = data.inputParameterChanges->getParameterData(i);
        int32 offset = 0;
        ParamValue value = 0;
        if (queue && queue->getParameterId() == kGainId &&
            queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultOk)
          gainParam->setNormalized(value);
      }
    }
    if (data.numInputs < 1 || data.numOutputs < 1 || !gainParam) return kResultOk;
    const double gain = gainParam->toPlain(gainParam->getNormalized());
    const int32 channels = std::min(data.inputs[0].numChannels, data.outputs[0].numChannels);
    for (int32 c = 0; c < channels; ++c)
    {
      for (int32 s = 0; s < data.numSamples; ++s)
      {
        if (data.symbolicSampleSize == kSample64)
          data.outputs[0].channelBuffers64[c][s] = gain * data.inputs[0].channelBuffers64[c][s];
        else
          data.outputs[0].channelBuffers32[c][s] =
              static_cast<float>(gain * data.inputs[0].channelBuffers32[c][s]);
      }
    }
    return kResultOk;
  }

  tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE
  {
    Parameter* gainParam = getParameterObject(kGainId);
    if (!state || !gainParam) return kResultFalse;
    float value = static_cast<float>(gainParam->getNormalized());
    return state->write(&value, sizeof(value));
  }

  tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE
  {
    Parameter* gainParam = getParameterObject(kGainId);
    float value = 0.0f;
    int32 bytesRead = 0;
    if (!state || !gainParam || state->read(&value, sizeof(value), &bytesRead) != kResultOk ||
        bytesRead != sizeof(value))
      return kResultFalse;
    gainParam->setNormalized(value);
    return kResultOk;
  }

  static FUnknown* Create(void*) { return static_cast<IAudioProcessor*>(new GainEffect); }
};

FUnknown* CreateNothing(void*)
{
  return nullptr;
}

} // namespace

// Test probes: how many effect objects exist, and the module's folder.
extern "C" SMTG_EXPORT_SYMBOL int TestLiveInstances()
{
  return gLiveInstances;
}

extern "C" SMTG_EXPORT_SYMBOL const char* TestModuleFolder()
{
  return VstModuleFolder();
}

static void RegisterTestClasses(CPluginFactory& factory)
{
  static const FUID gainClass(0x11111111, 0x22222222, 0x33333333, 0x44444444);
  static const FUID failingClass(0x55555555, 0x66666666, 0x77777777, 0x88888888);
  TUID gainCid;
  gainClass.toTUID(gainCid);
  TUID failingCid;
  failingClass.toTUID(failingCid);
  factory.registerClass(PClassInfo2(gainCid, PClassInfo::kManyInstances, kVstAudioEffectClass,
                                    "Test Gain", 0, "Fx", "", "0.1.0", kVstVersionString),
                        &GainEffect::Create);
  factory.registerClass(
      PClassInfo(failingCid, PClassInfo::kManyInstances, kVstAudioEffectClass, "Test Failing"),
      &CreateNothing);
  // A second class under a taken identifier must be refused.
  factory.registerClass(
      PClassInfo(gainCid, PClassInfo::kManyInstances, kVstAudioEffectClass, "Duplicate"),
      &GainEffect::Create);
}

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory()
{
  return SharedPluginFactory(PFactoryInfo("Test Vendor", "https://example.invalid",
                                          "test@example.invalid", PFactoryInfo::kUnicode),
                             &RegisterTestClasses);
}
