#include "plugin_module.h"

#include <windows.h>

using EntryProc = bool (*)();

bool PluginModule::Open(const std::string& path, std::string* error)
{
  mLibrary = LoadLibraryA(path.c_str());
  if (!mLibrary)
  {
    *error = "LoadLibrary failed (" + std::to_string(GetLastError()) + "): " + path;
    return false;
  }
  return true;
}

bool PluginModule::Enter()
{
  auto entry = reinterpret_cast<EntryProc>(Symbol("InitDll"));
  return entry && entry();
}

void PluginModule::Exit()
{
  if (auto exitProc = reinterpret_cast<EntryProc>(Symbol("ExitDll"))) exitProc();
}

void PluginModule::Close()
{
  if (mLibrary) FreeLibrary(static_cast<HMODULE>(mLibrary));
  mLibrary = nullptr;
}

void* PluginModule::Symbol(const char* name) const
{
  if (!mLibrary) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(mLibrary), name));
}

std::string ModuleBinaryPath(const std::string& bundlePath, const std::string&)
{
  return bundlePath;
}

std::vector<std::string> ModuleExportNames()
{
  return {"GetPluginFactory", "InitDll", "ExitDll"};
}
