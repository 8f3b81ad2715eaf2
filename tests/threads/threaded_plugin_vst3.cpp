#include "iplug_vst3.h"
#include "threaded_plugin.h"

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();

std::unique_ptr<StressSession> OpenThreadedPlugin(bool singlePrecision)
{
  return OpenVst3Session(singlePrecision, GetPluginFactory);
}

IGraphicsHeadless* EditorOf(StressSession& session)
{
  auto* component = static_cast<Steinberg::Vst::IComponent*>(session.PlugObject());
  auto* plug = dynamic_cast<IPlugBase*>(component);
  return plug ? dynamic_cast<IGraphicsHeadless*>(plug->GetEditor()) : nullptr;
}
