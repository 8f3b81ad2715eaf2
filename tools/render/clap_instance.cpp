// A CLAP plug-in driven through its clap_entry, plug-in factory, audio
// ports, parameters and editor extensions, with the project's CLAP host.

#include "plugin_instance.h"

#include "clap_events.h"
#include "clap_host.h"
#include "clap_instance.h"
#include "clap_module.h"

#include <algorithm>

namespace
{

class ClapPluginInstance : public PluginInstance
{
public:
  explicit ClapPluginInstance(const PluginSettings& settings) : mSettings(settings) {}

  ~ClapPluginInstance() override { CloseEditor(); }

  bool Start(const std::string& path, std::string* error)
  {
    mModule = ClapModule::Load(path, error);
    if (!mModule) return false;
    mInstance = ClapInstance::Create(*mModule, mHost, nullptr, error);
    if (!mInstance) return false;
    mParams = mInstance->Get<clap_plugin_params_t>(kClapExtParams);
    mGui = mInstance->Get<clap_plugin_gui_t>(kClapExtGui);
    if (!HasStereoOutput()) return Fail(error, "the plug-in has no stereo output");
    if (mSettings.doublePrecision && !(mOutputFlags & kClapAudioPortSupports64Bits))
      return Fail(error, "the plug-in cannot process in 64-bit");
    if (mParams)
      for (uint32_t i = 0; i < mParams->count(mInstance->Plugin()); ++i)
      {
        clap_param_info_t info{};
        if (mParams->get_info(mInstance->Plugin(), i, &info)) mParameterInfo.push_back(info);
      }
    const uint32_t frames = uint32_t(mSettings.maxBlockFrames);
    if (!mInstance->Activate(mSettings.sampleRate, 1, frames))
      return Fail(error, "the plug-in refused the sample rate or block size");
    mInstance->StartProcessing();
    for (auto* channel : {&mLeft, &mRight})
    {
      channel->single.assign(frames, 0.0f);
      channel->wide.assign(frames, 0.0);
    }
    return true;
  }

  std::string FormatName() const override { return "CLAP"; }

  std::vector<PluginParameter> Parameters() override
  {
    std::vector<PluginParameter> result;
    for (const clap_param_info_t& info : mParameterInfo)
      if (!(info.flags & (kClapParamIsHidden | kClapParamIsReadonly)))
        result.push_back(PluginParameter{int(info.id), info.name});
    return result;
  }

  // CLAP carries plain values: the value goes as given, within the
  // parameter's range.
  bool SetParameter(int id, double plainValue) override
  {
    const auto info = std::find_if(mParameterInfo.begin(), mParameterInfo.end(),
                                   [&](const clap_param_info_t& i) { return int(i.id) == id; });
    if (info == mParameterInfo.end()) return false;
    const clap_event_param_value_t event = ClapParamValueEvent(
        info->id, std::min(info->max_value, std::max(info->min_value, plainValue)), info->cookie);
    mEvents.Add(event.header);
    return true;
  }

  // Notes go as CLAP notes, everything else through the note port's MIDI
  // dialect.
  bool QueueMidi(uint8_t status, uint8_t data1, uint8_t data2) override
  {
    const int kind = status >> 4;
    const auto channel = int16_t(status & 0x0F);
    if (kind == 0x9 && data2 > 0)
      // Half a step above the wanted velocity, so that a plug-in that scales
      // by 127 and truncates gets the MIDI value back.
      mEvents.AddNote(kClapEventNoteOn, 0, int16_t(data1),
                      std::min(1.0, (double(data2) + 0.5) / 127.0), channel);
    else if (kind == 0x8 || kind == 0x9)
      mEvents.AddNote(kClapEventNoteOff, 0, int16_t(data1), data2 / 127.0, channel);
    else
      mEvents.AddMidi(0, status, data1, data2);
    return true;
  }

  bool Process(int frames, const BlockTransport& transport, double* left, double* right,
               std::string* error) override
  {
    const double seconds = double(transport.samplePosition) / mSettings.sampleRate;
    clap_event_transport_t context{};
    context.header = {sizeof(context), 0, kClapCoreEventSpaceId, kClapEventTransport, 0};
    context.flags = kClapTransportHasTempo | kClapTransportHasBeatsTimeline |
                    kClapTransportHasSecondsTimeline | kClapTransportHasTimeSignature |
                    kClapTransportIsPlaying;
    context.song_pos_beats =
        clap_beattime(seconds * transport.tempo / 60.0 * double(kClapBeatTimeFactor));
    context.song_pos_seconds = clap_sectime(seconds * double(kClapSecTimeFactor));
    context.tempo = transport.tempo;
    context.tsig_num = 4;
    context.tsig_denom = 4;
    float* singles[2] = {mLeft.single.data(), mRight.single.data()};
    double* doubles[2] = {mLeft.wide.data(), mRight.wide.data()};
    // The render's tempo and position reach the plug-in as a host's do.
    const clap_process_status status = ProcessClapPlugin(
        mHost, mInstance->Plugin(), uint32_t(frames), mSettings.doublePrecision ? nullptr : singles,
        doubles, mEvents, mOutputs, transport.samplePosition, &context);
    mEvents.Clear();
    // What the plug-in tells the host (gestures, values a controller moved)
    // matters to no offline render.
    mOutputs.Clear();
    mHost.RunRequestedCallback();
    if (status == kClapProcessError)
    {
      *error = "the plug-in's process call failed";
      return false;
    }
    for (int i = 0; i < frames; ++i)
    {
      left[i] = mSettings.doublePrecision ? mLeft.wide[i] : double(mLeft.single[i]);
      right[i] = mSettings.doublePrecision ? mRight.wide[i] : double(mRight.single[i]);
    }
    return true;
  }

  bool EditorSize(int& width, int& height) override
  {
    const bool temporary = !mEditorApi;
    if (temporary && !CreateEditor()) return false;
    uint32_t w = 0;
    uint32_t h = 0;
    const bool known = mGui->get_size(mInstance->Plugin(), &w, &h);
    if (temporary) DestroyEditor();
    width = int(w);
    height = int(h);
    return known && width > 0 && height > 0;
  }

  bool OpenEditor(void* parentWindow) override
  {
    CloseEditor();
    if (!CreateEditor()) return false;
    clap_window_t window{};
    window.api = mEditorApi;
    window.ptr = parentWindow;
    if (mGui->set_parent(mInstance->Plugin(), &window) && mGui->show(mInstance->Plugin()))
      return true;
    DestroyEditor();
    return false;
  }

  // The host's timers and descriptors, as a host's run loop serves them
  // (the editor reads whatever its connection holds when called).
  void IdleEditor() override
  {
    mHost.FireTimers();
    for (const auto& fd : mHost.Fds())
      mHost.FireFd(fd.first, kClapPosixFdRead);
    mHost.RunRequestedCallback();
  }

  void CloseEditor() override
  {
    if (!mEditorApi) return;
    mGui->hide(mInstance->Plugin());
    DestroyEditor();
  }

private:
  struct Channel
  {
    std::vector<float> single;
    std::vector<double> wide;
  };

  static bool Fail(std::string* error, const char* text)
  {
    *error = text;
    return false;
  }

  // The main output: the only port, stereo.
  bool HasStereoOutput()
  {
    const auto* ports = mInstance->Get<clap_plugin_audio_ports_t>(kClapExtAudioPorts);
    const clap_plugin_t* plugin = mInstance->Plugin();
    clap_audio_port_info_t info{};
    if (!ports || ports->count(plugin, true) != 0 || ports->count(plugin, false) != 1 ||
        !ports->get(plugin, 0, false, &info))
      return false;
    mOutputFlags = info.flags;
    return info.channel_count == 2;
  }

  bool CreateEditor()
  {
    if (!mGui) return false;
    for (const char* api : {kClapWindowApiX11, kClapWindowApiWin32})
    {
      if (!mGui->is_api_supported(mInstance->Plugin(), api, false)) continue;
      if (!mGui->create(mInstance->Plugin(), api, false)) return false;
      mEditorApi = api;
      return true;
    }
    return false;
  }

  void DestroyEditor()
  {
    mGui->destroy(mInstance->Plugin());
    mEditorApi = nullptr;
  }

  PluginSettings mSettings;
  // Declared before the instance, which must go first.
  ClapHost mHost;
  std::unique_ptr<ClapModule> mModule;
  std::unique_ptr<ClapInstance> mInstance;
  const clap_plugin_params_t* mParams = nullptr;
  const clap_plugin_gui_t* mGui = nullptr;
  const char* mEditorApi = nullptr;
  std::vector<clap_param_info_t> mParameterInfo;
  uint32_t mOutputFlags = 0;
  ClapInputEvents mEvents;
  ClapOutputEvents mOutputs;
  Channel mLeft;
  Channel mRight;
};

} // namespace

std::unique_ptr<PluginInstance> OpenClapPlugin(const std::string& path,
                                               const PluginSettings& settings, std::string* error)
{
  auto instance = std::make_unique<ClapPluginInstance>(settings);
  if (!instance->Start(path, error)) return nullptr;
  return instance;
}
