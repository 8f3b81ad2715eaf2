#include "iplug_clap.h"
#include "threaded_plugin.h"

extern "C" const clap_plugin_entry_t clap_entry;

std::unique_ptr<StressSession> OpenThreadedPlugin(bool singlePrecision)
{
  return OpenClapSession(singlePrecision, clap_entry);
}

IGraphicsHeadless* EditorOf(StressSession& session)
{
  IPlugBase* plug = static_cast<IPlugCLAP*>(session.PlugObject());
  return plug ? dynamic_cast<IGraphicsHeadless*>(plug->GetEditor()) : nullptr;
}
