#include "plugin_module.h"

using EntryProc = bool (*)(void*);
using ExitProc = bool (*)();

bool PluginModule::Enter()
{
  auto entry = reinterpret_cast<EntryProc>(Symbol("ModuleEntry"));
  return entry && entry(mLibrary.NativeHandle());
}

void PluginModule::Exit()
{
  if (auto exitProc = reinterpret_cast<ExitProc>(Symbol("ModuleExit"))) exitProc();
}

std::string BundleModulePath(const std::string& bundlePath, const std::string& name)
{
  return bundlePath + "/Contents/x86_64-linux/" + name + ".so";
}

std::string ModuleBinaryPath(const std::string& bundlePath, const std::string& name)
{
  return BundleModulePath(bundlePath, name);
}

std::vector<std::string> ModuleExportNames()
{
  return {"GetPluginFactory", "ModuleEntry", "ModuleExit"};
}
