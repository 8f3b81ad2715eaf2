#include "plugin_library.h"
#include "wide_text_win.h"

#include <windows.h>

PluginLibrary::PluginLibrary(const std::string& path)
{
  if (path.empty())
  {
    mLoadError = "no library path";
    return;
  }
  mHandle = reinterpret_cast<void*>(LoadLibraryW(WideFromUtf8(path).c_str()));
  if (!mHandle) mLoadError = "LoadLibraryW failed with error " + std::to_string(GetLastError());
}

PluginLibrary::~PluginLibrary()
{
  if (mHandle) FreeLibrary(reinterpret_cast<HMODULE>(mHandle));
}

void* PluginLibrary::FindSymbol(const char* name) const
{
  if (!mHandle) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(mHandle), name));
}
