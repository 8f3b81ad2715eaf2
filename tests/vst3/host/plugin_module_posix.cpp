#include "plugin_module.h"

#include <dlfcn.h>

using EntryProc = bool (*)(void*);
using ExitProc = bool (*)();

bool PluginModule::Open(const std::string& path, std::string* error)
{
  mLibrary = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (!mLibrary)
  {
    const char* reason = dlerror();
    *error = reason ? reason : "dlopen failed: " + path;
    return false;
  }
  return true;
}

bool PluginModule::Enter()
{
  auto entry = reinterpret_cast<EntryProc>(Symbol("ModuleEntry"));
  return entry && entry(mLibrary);
}

void PluginModule::Exit()
{
  if (auto exitProc = reinterpret_cast<ExitProc>(Symbol("ModuleExit"))) exitProc();
}

void PluginModule::Close()
{
  if (mLibrary) dlclose(mLibrary);
  mLibrary = nullptr;
}

void* PluginModule::Symbol(const char* name) const
{
  return mLibrary ? dlsym(mLibrary, name) : nullptr;
}

std::string ModuleBinaryPath(const std::string& bundlePath, const std::string& name)
{
  return bundlePath + "/Contents/x86_64-linux/" + name + ".so";
}

std::vector<std::string> ModuleExportNames()
{
  return {"GetPluginFactory", "ModuleEntry", "ModuleExit"};
}
