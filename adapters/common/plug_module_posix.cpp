#include "plug_module.h"

#include <dlfcn.h>

#include <string>

namespace
{
// Any address inside the module names the module's file.
const char gAddressInModule = 0;

std::string FolderOfThisModule()
{
  Dl_info info{};
  if (!dladdr(&gAddressInModule, &info) || !info.dli_fname) return std::string();
  const std::string path = info.dli_fname;
  const size_t lastSeparator = path.rfind('/');
  return lastSeparator == std::string::npos ? std::string() : path.substr(0, lastSeparator + 1);
}
} // namespace

// Resources are compiled into the module here; no handle is needed.
void* PlugModuleInstance()
{
  return nullptr;
}

const char* PlugModuleFolder()
{
  static const std::string folder = FolderOfThisModule();
  return folder.c_str();
}
