#include "plugin_library.h"

#include <dlfcn.h>

PluginLibrary::PluginLibrary(const std::string& path)
{
  if (path.empty())
  {
    mLoadError = "no library path";
    return;
  }
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle)
  {
    const char* error = dlerror();
    mLoadError = error ? error : "dlopen failed";
  }
}

PluginLibrary::~PluginLibrary()
{
  if (mHandle) dlclose(mHandle);
}

void* PluginLibrary::FindSymbol(const char* name) const
{
  return mHandle ? dlsym(mHandle, name) : nullptr;
}
