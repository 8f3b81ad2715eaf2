#pragma once

#include <string>

// A plug-in binary loaded the way hosts load it: LoadLibraryW/GetProcAddress
// on Windows, dlopen/dlsym elsewhere. The library stays loaded until the
// object is destroyed.
class PluginLibrary
{
public:
  explicit PluginLibrary(const std::string& path);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  bool IsLoaded() const { return mHandle != nullptr; }

  // Address of an exported symbol, or null when the library lacks it.
  void* FindSymbol(const char* name) const;

  // What the system said when loading failed; empty after success.
  const std::string& LoadError() const { return mLoadError; }

  // The system's handle (HMODULE on Windows, the dlopen handle elsewhere),
  // for entry points that want it; null when nothing is loaded.
  void* NativeHandle() const { return mHandle; }

private:
  void* mHandle = nullptr;
  std::string mLoadError;
};
