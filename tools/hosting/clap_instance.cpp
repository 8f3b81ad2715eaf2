#include "clap_instance.h"

#include "clap_events.h"
#include "clap_host.h"
#include "clap_module.h"

std::unique_ptr<ClapInstance> ClapInstance::Create(const ClapModule& module, ClapHost& host,
                                                   const char* pluginId, std::string* error)
{
  return Create(module.PluginFactory(), host, pluginId, error);
}

std::unique_ptr<ClapInstance> ClapInstance::CreateLinked(const clap_plugin_entry_t& entry,
                                                         ClapHost& host, std::string* error)
{
  if (!entry.init(""))
  {
    if (error) *error = "the entry's init failed";
    return nullptr;
  }
  auto instance =
      Create(static_cast<const clap_plugin_factory_t*>(entry.get_factory(kClapPluginFactoryId)),
             host, nullptr, error);
  if (!instance) entry.deinit();
  return instance;
}

std::unique_ptr<ClapInstance> ClapInstance::Create(const clap_plugin_factory_t* factory,
                                                   ClapHost& host, const char* pluginId,
                                                   std::string* error)
{
  auto fail = [&](const char* reason)
  {
    if (error) *error = reason;
    return nullptr;
  };
  if (!factory) return fail("no plug-in factory");
  if (!pluginId)
  {
    const clap_plugin_descriptor_t* descriptor = factory->get_plugin_count(factory) > 0
                                                     ? factory->get_plugin_descriptor(factory, 0)
                                                     : nullptr;
    if (!descriptor) return fail("the factory describes no plug-in");
    pluginId = descriptor->id;
  }
  const clap_plugin_t* plugin = factory->create_plugin(factory, host.Host(), pluginId);
  if (!plugin) return fail("create_plugin answered null");
  std::unique_ptr<ClapInstance> instance(new ClapInstance(host, plugin));
  host.SetPlugin(plugin);
  if (!plugin->init(plugin)) return fail("plugin init failed");
  return instance;
}

ClapInstance::~ClapInstance()
{
  StopProcessing();
  Deactivate();
  mHost.SetPlugin(nullptr);
  mPlugin->destroy(mPlugin);
}

bool ClapInstance::Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames)
{
  if (mActive) return false;
  mActive = mPlugin->activate(mPlugin, sampleRate, minFrames, maxFrames);
  return mActive;
}

void ClapInstance::Deactivate()
{
  if (!mActive) return;
  mPlugin->deactivate(mPlugin);
  mActive = false;
}

bool ClapInstance::StartProcessing()
{
  if (!mActive || mProcessing) return false;
  ClapHost::AudioThreadScope audio(mHost);
  mProcessing = mPlugin->start_processing(mPlugin);
  return mProcessing;
}

void ClapInstance::StopProcessing()
{
  if (!mProcessing) return;
  ClapHost::AudioThreadScope audio(mHost);
  mPlugin->stop_processing(mPlugin);
  mProcessing = false;
}

void ClapInstance::Reset()
{
  ClapHost::AudioThreadScope audio(mHost);
  mPlugin->reset(mPlugin);
}

clap_process_status ClapInstance::Process(uint32_t frames, double* left, double* right,
                                          const ClapInputEvents& in, ClapOutputEvents& out)
{
  double* channels[2] = {left, right};
  return Run(frames, nullptr, channels, in, out);
}

clap_process_status ClapInstance::Process(uint32_t frames, float* left, float* right,
                                          const ClapInputEvents& in, ClapOutputEvents& out)
{
  float* channels[2] = {left, right};
  return Run(frames, channels, nullptr, in, out);
}

clap_process_status ClapInstance::Run(uint32_t frames, float** singles, double** doubles,
                                      const ClapInputEvents& in, ClapOutputEvents& out)
{
  const clap_process_status status =
      ProcessClapPlugin(mHost, mPlugin, frames, singles, doubles, in, out, mSteadyTime);
  mSteadyTime += frames;
  return status;
}

clap_process_status ProcessClapPlugin(ClapHost& host, const clap_plugin_t* plugin, uint32_t frames,
                                      float** singles, double** doubles, const ClapInputEvents& in,
                                      ClapOutputEvents& out, int64_t steadyTime,
                                      const clap_event_transport_t* transport)
{
  clap_audio_buffer_t output{singles, singles ? nullptr : doubles, 2, 0, 0};
  clap_process_t process{};
  process.steady_time = steadyTime;
  process.frames_count = frames;
  process.transport = transport;
  process.audio_outputs = &output;
  process.audio_outputs_count = 1;
  process.in_events = in.List();
  process.out_events = out.List();
  ClapHost::AudioThreadScope audio(host);
  return plugin->process(plugin, &process);
}
