// A CLAP plug-in driven through its clap_entry, plug-in factory, audio and
// note ports, parameters and editor extensions.

#include "plugin_instance.h"

#include "clap_abi.h"
#include "plugin_library.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace
{

// Transport flags and the fixed-point scale of its times (CLAP 1.2).
constexpr uint32_t kTransportHasTempo = 1u << 0;
constexpr uint32_t kTransportHasBeatsTimeline = 1u << 1;
constexpr uint32_t kTransportHasSecondsTimeline = 1u << 2;
constexpr uint32_t kTransportHasTimeSignature = 1u << 3;
constexpr uint32_t kTransportIsPlaying = 1u << 4;
constexpr double kFixedPointFactor = double(1ll << 31);

// Every event kind the renderer sends, so one list holds them all.
union ClapEvent
{
  clap_event_header_t header;
  clap_event_note_t note;
  clap_event_param_value_t param;
  clap_event_midi_t midi;
};

clap_event_header_t Header(uint32_t size, uint16_t type)
{
  return clap_event_header_t{size, 0, kClapCoreEventSpaceId, type, 0};
}

class ClapInstance : public PluginInstance
{
public:
  ClapInstance(const std::string& path, const PluginSettings& settings)
      : mLibrary(path), mPath(path), mSettings(settings)
  {
    mHost.clap_version = kClapVersion;
    mHost.host_data = this;
    mHost.name = "thudwerk-render";
    mHost.vendor = "VornAudio";
    mHost.url = "";
    mHost.version = "1";
    mHost.get_extension = [](const clap_host_t*, const char*) -> const void* { return nullptr; };
    mHost.request_restart = [](const clap_host_t*) {};
    mHost.request_process = [](const clap_host_t*) {};
    mHost.request_callback = [](const clap_host_t* host)
    { Self(host)->mCallbackRequested.store(true, std::memory_order_release); };
    mInputs.ctx = this;
    mInputs.size = [](const clap_input_events_t* list)
    { return uint32_t(static_cast<ClapInstance*>(list->ctx)->mEvents.size()); };
    mInputs.get = [](const clap_input_events_t* list, uint32_t index) -> const clap_event_header_t*
    {
      const auto& events = static_cast<ClapInstance*>(list->ctx)->mEvents;
      return index < events.size() ? &events[index].header : nullptr;
    };
    // What the plug-in tells the host (gestures, values a controller moved)
    // matters to no offline render.
    mOutputs.ctx = this;
    mOutputs.try_push = [](const clap_output_events_t*, const clap_event_header_t*)
    { return true; };
  }

  ~ClapInstance() override
  {
    CloseEditor();
    if (mProcessing) mPlugin->stop_processing(mPlugin);
    if (mActive) mPlugin->deactivate(mPlugin);
    if (mPlugin) mPlugin->destroy(mPlugin);
    if (mEntryInitialized) mEntry->deinit();
  }

  bool Start(std::string* error)
  {
    if (!mLibrary.IsLoaded())
      return Fail(error, "cannot load the CLAP plug-in: " + mLibrary.LoadError());
    mEntry = static_cast<const clap_plugin_entry_t*>(mLibrary.FindSymbol("clap_entry"));
    if (!mEntry) return Fail(error, "the binary has no clap_entry");
    if (!ClapVersionIsCompatible(mEntry->clap_version))
      return Fail(error, "the plug-in was built for an incompatible CLAP version");
    if (!mEntry->init(mPath.c_str()))
      return Fail(error, "the plug-in's entry failed to initialize");
    mEntryInitialized = true;
    const auto* factory =
        static_cast<const clap_plugin_factory_t*>(mEntry->get_factory(kClapPluginFactoryId));
    const clap_plugin_descriptor_t* descriptor = factory && factory->get_plugin_count(factory) > 0
                                                     ? factory->get_plugin_descriptor(factory, 0)
                                                     : nullptr;
    if (!descriptor) return Fail(error, "the plug-in's factory offers no plug-in");
    mPlugin = factory->create_plugin(factory, &mHost, descriptor->id);
    if (!mPlugin) return Fail(error, "the plug-in's factory did not create the plug-in");
    if (!mPlugin->init(mPlugin))
    {
      mPlugin->destroy(mPlugin);
      mPlugin = nullptr;
      return Fail(error, "the plug-in failed to initialize");
    }
    mParams = Extension<clap_plugin_params_t>(kClapExtParams);
    mGui = Extension<clap_plugin_gui_t>(kClapExtGui);
    if (!HasStereoOutput()) return Fail(error, "the plug-in has no stereo output");
    if (mSettings.doublePrecision && !(mOutputFlags & kClapAudioPortSupports64Bits))
      return Fail(error, "the plug-in cannot process in 64-bit");
    if (mParams)
      for (uint32_t i = 0; i < mParams->count(mPlugin); ++i)
      {
        clap_param_info_t info{};
        if (mParams->get_info(mPlugin, i, &info)) mParameterInfo.push_back(info);
      }

    const uint32_t frames = uint32_t(mSettings.maxBlockFrames);
    if (!mPlugin->activate(mPlugin, mSettings.sampleRate, 1, frames))
      return Fail(error, "the plug-in refused the sample rate or block size");
    mActive = true;
    mProcessing = mPlugin->start_processing(mPlugin);
    for (auto* channel : {&mLeft, &mRight})
    {
      channel->single.assign(frames, 0.0f);
      channel->wide.assign(frames, 0.0);
    }
    mSingle[0] = mLeft.single.data();
    mSingle[1] = mRight.single.data();
    mWide[0] = mLeft.wide.data();
    mWide[1] = mRight.wide.data();
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

  // CLAP carries plain values, so the value goes as given, clamped to the
  // parameter's range.
  bool SetParameter(int id, double plainValue) override
  {
    const auto info = std::find_if(mParameterInfo.begin(), mParameterInfo.end(),
                                   [&](const clap_param_info_t& i) { return int(i.id) == id; });
    if (info == mParameterInfo.end()) return false;
    ClapEvent event{};
    event.param.header = Header(sizeof(clap_event_param_value_t), kClapEventParamValue);
    event.param.param_id = info->id;
    event.param.cookie = info->cookie;
    event.param.note_id = -1;
    event.param.port_index = -1;
    event.param.channel = -1;
    event.param.key = -1;
    event.param.value = std::min(info->max_value, std::max(info->min_value, plainValue));
    mEvents.push_back(event);
    return true;
  }

  // Notes go as CLAP notes, everything else as MIDI through the note port's
  // MIDI dialect.
  bool QueueMidi(uint8_t status, uint8_t data1, uint8_t data2) override
  {
    const int kind = status >> 4;
    ClapEvent event{};
    if (kind == 0x8 || kind == 0x9)
    {
      const bool on = kind == 0x9 && data2 > 0;
      event.note.header =
          Header(sizeof(clap_event_note_t), on ? kClapEventNoteOn : kClapEventNoteOff);
      event.note.note_id = -1;
      event.note.port_index = 0;
      event.note.channel = int16_t(status & 0x0F);
      event.note.key = int16_t(data1);
      // Half a step above the wanted velocity, so that a plug-in that scales
      // by 127 and truncates gets the MIDI value back.
      event.note.velocity = on ? std::min(1.0, (double(data2) + 0.5) / 127.0) : 0.0;
    }
    else
    {
      event.midi.header = Header(sizeof(clap_event_midi_t), kClapEventMidi);
      event.midi.port_index = 0;
      event.midi.data[0] = status;
      event.midi.data[1] = data1;
      event.midi.data[2] = data2;
    }
    mEvents.push_back(event);
    return true;
  }

  bool Process(int frames, const BlockTransport& transport, double* left, double* right,
               std::string* error) override
  {
    const double seconds = double(transport.samplePosition) / mSettings.sampleRate;
    clap_event_transport_t context{};
    context.header = Header(sizeof(clap_event_transport_t), kClapEventTransport);
    context.flags = kTransportHasTempo | kTransportHasBeatsTimeline | kTransportHasSecondsTimeline |
                    kTransportHasTimeSignature | kTransportIsPlaying;
    context.song_pos_beats = clap_beattime(seconds * transport.tempo / 60.0 * kFixedPointFactor);
    context.song_pos_seconds = clap_sectime(seconds * kFixedPointFactor);
    context.tempo = transport.tempo;
    context.tsig_num = 4;
    context.tsig_denom = 4;

    clap_audio_buffer_t output{};
    output.channel_count = 2;
    if (mSettings.doublePrecision)
      output.data64 = mWide;
    else
      output.data32 = mSingle;
    clap_process_t process{};
    process.steady_time = transport.samplePosition;
    process.frames_count = uint32_t(frames);
    process.transport = &context;
    process.audio_outputs = &output;
    process.audio_outputs_count = 1;
    process.in_events = &mInputs;
    process.out_events = &mOutputs;
    const clap_process_status status = mPlugin->process(mPlugin, &process);
    mEvents.clear();
    if (mCallbackRequested.exchange(false, std::memory_order_acq_rel))
      mPlugin->on_main_thread(mPlugin);
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
    const bool known = mGui->get_size(mPlugin, &w, &h);
    if (temporary) DestroyEditor();
    width = int(w);
    height = int(h);
    return known && width > 0 && height > 0;
  }

  // The host offers no timers or descriptors, so the editor runs its own
  // events, as it does for hosts without them.
  bool OpenEditor(void* parentWindow) override
  {
    CloseEditor();
    if (!CreateEditor()) return false;
    clap_window_t window{};
    window.api = mEditorApi;
    window.ptr = parentWindow;
    if (mGui->set_parent(mPlugin, &window) && mGui->show(mPlugin)) return true;
    DestroyEditor();
    return false;
  }

  void IdleEditor() override {}

  void CloseEditor() override
  {
    if (!mEditorApi) return;
    mGui->hide(mPlugin);
    DestroyEditor();
  }

private:
  struct Channel
  {
    std::vector<float> single;
    std::vector<double> wide;
  };

  static ClapInstance* Self(const clap_host_t* host)
  {
    return static_cast<ClapInstance*>(host->host_data);
  }

  template <typename Table>
  const Table* Extension(const char* id) const
  {
    return static_cast<const Table*>(mPlugin->get_extension(mPlugin, id));
  }

  static bool Fail(std::string* error, const std::string& text)
  {
    *error = text;
    return false;
  }

  // The main output: the first output port, at least stereo.
  bool HasStereoOutput()
  {
    const auto* ports = Extension<clap_plugin_audio_ports_t>(kClapExtAudioPorts);
    clap_audio_port_info_t info{};
    if (!ports || ports->count(mPlugin, false) < 1 || !ports->get(mPlugin, 0, false, &info))
      return false;
    mOutputFlags = info.flags;
    return info.channel_count == 2 && ports->count(mPlugin, true) == 0;
  }

  bool CreateEditor()
  {
    if (!mGui) return false;
    for (const char* api : {kClapWindowApiX11, kClapWindowApiWin32})
    {
      if (!mGui->is_api_supported(mPlugin, api, false)) continue;
      if (!mGui->create(mPlugin, api, false)) return false;
      mEditorApi = api;
      return true;
    }
    return false;
  }

  void DestroyEditor()
  {
    mGui->destroy(mPlugin);
    mEditorApi = nullptr;
  }

  PluginLibrary mLibrary;
  std::string mPath;
  PluginSettings mSettings;
  clap_host_t mHost{};
  const clap_plugin_entry_t* mEntry = nullptr;
  bool mEntryInitialized = false;
  const clap_plugin_t* mPlugin = nullptr;
  const clap_plugin_params_t* mParams = nullptr;
  const clap_plugin_gui_t* mGui = nullptr;
  const char* mEditorApi = nullptr;
  std::vector<clap_param_info_t> mParameterInfo;
  uint32_t mOutputFlags = 0;
  bool mActive = false;
  bool mProcessing = false;
  std::atomic<bool> mCallbackRequested{false};
  std::vector<ClapEvent> mEvents;
  clap_input_events_t mInputs{};
  clap_output_events_t mOutputs{};
  Channel mLeft;
  Channel mRight;
  float* mSingle[2] = {};
  double* mWide[2] = {};
};

} // namespace

std::unique_ptr<PluginInstance> OpenClapPlugin(const std::string& path,
                                               const PluginSettings& settings, std::string* error)
{
  auto instance = std::make_unique<ClapInstance>(path, settings);
  if (!instance->Start(error)) return nullptr;
  return instance;
}
