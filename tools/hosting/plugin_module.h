#pragma once

#include "plugin_library.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <memory>
#include <string>
#include <vector>

// A VST 3 module loaded from disk the way hosts load it: the library is
// opened, its entry point called (InitDll on Windows, ModuleEntry elsewhere)
// and GetPluginFactory looked up. Destruction releases the factory, calls the
// exit point (ExitDll, ModuleExit) and unloads the library. Create, use and
// destroy it on one thread.
class PluginModule
{
public:
  // The module at path, or null with a reason in *error.
  static std::unique_ptr<PluginModule> Load(const std::string& path, std::string* error);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // The factory from the module's GetPluginFactory (one reference, held by
  // this object).
  Steinberg::IPluginFactory* Factory() const { return mFactory; }

  // Calls the module's GetPluginFactory again; the caller owns the reference.
  Steinberg::IPluginFactory* CallGetPluginFactory() const;

  // Looks up an exported symbol; null when the module does not export it.
  void* Symbol(const char* name) const { return mLibrary.FindSymbol(name); }

private:
  explicit PluginModule(const std::string& path) : mLibrary(path) {}

  // Platform parts (plugin_module_win.cpp, plugin_module_posix.cpp).
  bool Enter();
  void Exit();

  PluginLibrary mLibrary;
  bool mEntered = false;
  Steinberg::IPluginFactory* mFactory = nullptr;
};

// The path of the module file inside a built plug-in: on Windows the .vst3
// file itself, on Linux the .so inside the bundle.
std::string ModuleBinaryPath(const std::string& bundlePath, const std::string& name);

// The module file inside a VST 3 bundle folder <bundlePath> for this
// platform: Contents/x86_64-win/<name>.vst3 on Windows,
// Contents/x86_64-linux/<name>.so elsewhere.
std::string BundleModulePath(const std::string& bundlePath, const std::string& name);

// The names of the functions a module exports on this platform: its entry
// and exit points and GetPluginFactory.
std::vector<std::string> ModuleExportNames();
