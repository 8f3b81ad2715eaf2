#include "plugin_module.h"

using EntryProc = bool (*)();

bool PluginModule::Enter()
{
  auto entry = reinterpret_cast<EntryProc>(Symbol("InitDll"));
  return entry && entry();
}

void PluginModule::Exit()
{
  if (auto exitProc = reinterpret_cast<EntryProc>(Symbol("ExitDll"))) exitProc();
}

std::string BundleModulePath(const std::string& bundlePath, const std::string& name)
{
  return bundlePath + "/Contents/x86_64-win/" + name + ".vst3";
}

std::string ModuleBinaryPath(const std::string& bundlePath, const std::string&)
{
  return bundlePath;
}

std::vector<std::string> ModuleExportNames()
{
  return {"GetPluginFactory", "InitDll", "ExitDll"};
}
