#include "iplug_vst.h"
#include "threaded_plugin.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

std::unique_ptr<StressSession> OpenThreadedPlugin(bool singlePrecision)
{
  return OpenVst2Session(singlePrecision, VSTPluginMain);
}

IGraphicsHeadless* EditorOf(StressSession& session)
{
  auto* plug = static_cast<IPlugVST*>(session.PlugObject());
  return dynamic_cast<IGraphicsHeadless*>(plug->GetEditor());
}
