// A VST 3 module driven through its factory, IComponent, IAudioProcessor and
// IEditController.

#include "plugin_instance.h"

#include "host_application.h"
#include "plugin_module.h"
#include "plugin_path.h"
#include "process_block.h"
#include "vst3_util.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

// The first class of the factory that is an audio processor.
bool FindProcessorClass(IPluginFactory* factory, TUID classId)
{
  for (int32 i = 0; i < factory->countClasses(); ++i)
  {
    PClassInfo info{};
    if (factory->getClassInfo(i, &info) != kResultOk) continue;
    if (std::strncmp(info.category, kVstAudioEffectClass, PClassInfo::kCategorySize) == 0)
    {
      std::memcpy(classId, info.cid, sizeof(TUID));
      return true;
    }
  }
  return false;
}

std::vector<int> AudioBusChannels(IComponent* component, BusDirection direction)
{
  std::vector<int> channels;
  for (int32 i = 0; i < component->getBusCount(kAudio, direction); ++i)
  {
    BusInfo info{};
    channels.push_back(component->getBusInfo(kAudio, direction, i, info) == kResultOk
                           ? int(info.channelCount)
                           : 0);
  }
  return channels;
}

class Vst3Instance : public PluginInstance
{
public:
  explicit Vst3Instance(const PluginSettings& settings) : mSettings(settings) {}

  ~Vst3Instance() override
  {
    CloseEditor();
    if (mProcessing) mProcessor->setProcessing(false);
    if (mActive) mComponent->setActive(false);
    if (mInitialized) mComponent->terminate();
  }

  bool Start(const std::string& path, std::string* error)
  {
    mModule = PluginModule::Load(Vst3ModuleFile(path), error);
    if (!mModule) return false;
    TUID classId{};
    if (!FindProcessorClass(mModule->Factory(), classId))
      return Fail(error, "the module offers no audio processor class");
    IComponent* created = nullptr;
    if (mModule->Factory()->createInstance(classId, IComponent::iid,
                                           reinterpret_cast<void**>(&created)) != kResultOk ||
        !created)
      return Fail(error, "the module's factory did not create the plug-in");
    mComponent = owned(created);
    mProcessor = Query<IAudioProcessor>(mComponent);
    mController = Query<IEditController>(mComponent);
    if (!mProcessor) return Fail(error, "the plug-in is not an audio processor");
    if (mComponent->initialize(mHostContext->unknownCast()) != kResultOk)
      return Fail(error, "the plug-in failed to initialize");
    mInitialized = true;

    const std::vector<int> inputs = AudioBusChannels(mComponent, kInput);
    const std::vector<int> outputs = AudioBusChannels(mComponent, kOutput);
    if (outputs.empty() || outputs[0] < 2) return Fail(error, "the plug-in has no stereo output");
    const int32 sampleSize = mSettings.doublePrecision ? kSample64 : kSample32;
    if (mProcessor->canProcessSampleSize(sampleSize) != kResultOk)
      return Fail(error, mSettings.doublePrecision ? "the plug-in cannot process in 64-bit"
                                                   : "the plug-in cannot process in 32-bit");
    ProcessSetup setup{kOffline, sampleSize, mSettings.maxBlockFrames, mSettings.sampleRate};
    if (mProcessor->setupProcessing(setup) != kResultOk)
      return Fail(error, "the plug-in refused the sample rate or block size");
    for (MediaType type : {MediaType(kAudio), MediaType(kEvent)})
      for (BusDirection direction : {BusDirection(kInput), BusDirection(kOutput)})
        for (int32 i = 0; i < mComponent->getBusCount(type, direction); ++i)
          mComponent->activateBus(type, direction, i, true);
    if (mComponent->setActive(true) != kResultOk) return Fail(error, "the plug-in did not start");
    mActive = true;
    mProcessing = mProcessor->setProcessing(true) == kResultOk;

    mBlock = std::make_unique<ProcessBlock>(sampleSize, inputs, outputs, mSettings.maxBlockFrames);
    mBlock->processMode = kOffline;
    ProcessContext& context = mBlock->Context();
    context.sampleRate = mSettings.sampleRate;
    context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid |
                    ProcessContext::kTimeSigValid | ProcessContext::kProjectTimeMusicValid;
    return true;
  }

  std::string FormatName() const override { return "VST3"; }

  std::vector<PluginParameter> Parameters() override
  {
    std::vector<PluginParameter> result;
    if (!mController) return result;
    for (int32 i = 0; i < mController->getParameterCount(); ++i)
    {
      ParameterInfo info{};
      if (mController->getParameterInfo(i, info) != kResultOk) continue;
      if (info.flags & (ParameterInfo::kIsProgramChange | ParameterInfo::kIsBypass)) continue;
      result.push_back(PluginParameter{int(info.id), Narrow(info.title)});
    }
    return result;
  }

  bool SetParameter(int id, double plainValue) override
  {
    if (!mController) return false;
    const ParamValue normalized =
        std::min(1.0, std::max(0.0, mController->plainParamToNormalized(ParamID(id), plainValue)));
    mController->setParamNormalized(ParamID(id), normalized);
    mBlock->Changes().Add(ParamID(id), 0, normalized);
    return true;
  }

  bool QueueMidi(uint8_t status, uint8_t data1, uint8_t data2) override
  {
    const int kind = status >> 4;
    const int16 channel = int16(status & 0x0F);
    if (kind == 0x9 && data2 > 0)
    {
      // Half a step above the wanted velocity, so that a plug-in that scales
      // by 127 and truncates gets the MIDI value back.
      const float velocity = std::min(1.0f, (float(data2) + 0.5f) / 127.0f);
      mBlock->Events().AddNoteOn(0, channel, int16(data1), velocity);
      return true;
    }
    if (kind == 0x8 || kind == 0x9)
    {
      mBlock->Events().AddNoteOff(0, channel, int16(data1));
      return true;
    }
    return false;
  }

  bool Process(int frames, const BlockTransport& transport, double* left, double* right,
               std::string* error) override
  {
    ProcessContext& context = mBlock->Context();
    context.projectTimeSamples = transport.samplePosition;
    context.tempo = transport.tempo;
    context.projectTimeMusic =
        double(transport.samplePosition) / mSettings.sampleRate * transport.tempo / 60.0;
    const tresult result = mProcessor->process(mBlock->Data(frames));
    mBlock->Changes().Clear();
    mBlock->Events().Clear();
    if (result != kResultOk)
    {
      *error = "the plug-in's process call failed";
      return false;
    }
    for (int i = 0; i < frames; ++i)
    {
      left[i] = mBlock->Output(0, 0, i);
      right[i] = mBlock->Output(0, 1, i);
    }
    return true;
  }

  bool EditorSize(int& width, int& height) override
  {
    IPtr<IPlugView> view = mView ? mView : owned(CreateEditorView());
    ViewRect size;
    if (!view || view->getSize(&size) != kResultOk) return false;
    width = size.getWidth();
    height = size.getHeight();
    return width > 0 && height > 0;
  }

  // Without a frame offering a run loop, the view runs its own events.
  bool OpenEditor(void* parentWindow) override
  {
    CloseEditor();
    mView = owned(CreateEditorView());
    if (!mView) return false;
    for (FIDString type : {kPlatformTypeX11EmbedWindowID, kPlatformTypeHWND})
    {
      if (mView->isPlatformTypeSupported(type) != kResultOk) continue;
      if (mView->attached(parentWindow, type) == kResultOk) return true;
    }
    mView = nullptr;
    return false;
  }

  void IdleEditor() override {}

  void CloseEditor() override
  {
    if (mView) mView->removed();
    mView = nullptr;
  }

private:
  IPlugView* CreateEditorView()
  {
    return mController ? mController->createView(ViewType::kEditor) : nullptr;
  }

  static bool Fail(std::string* error, const char* text)
  {
    *error = text;
    return false;
  }

  PluginSettings mSettings;
  std::unique_ptr<PluginModule> mModule;
  IPtr<HostApplication> mHostContext = owned(new HostApplication("thudwerk-render"));
  IPtr<IComponent> mComponent;
  IPtr<IAudioProcessor> mProcessor;
  IPtr<IEditController> mController;
  IPtr<IPlugView> mView;
  std::unique_ptr<ProcessBlock> mBlock;
  bool mInitialized = false;
  bool mActive = false;
  bool mProcessing = false;
};

} // namespace

std::unique_ptr<PluginInstance> OpenVst3Plugin(const std::string& path,
                                               const PluginSettings& settings, std::string* error)
{
  auto instance = std::make_unique<Vst3Instance>(settings);
  if (!instance->Start(path, error)) return nullptr;
  return instance;
}
