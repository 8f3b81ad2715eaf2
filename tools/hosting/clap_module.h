#pragma once

#include "clap_abi.h"
#include "plugin_library.h"

#include <memory>
#include <string>

// A CLAP module loaded the way hosts load it: the library is opened, its
// clap_entry data symbol found, its version checked and init called with the
// module's path. Destruction calls deinit and unloads the library. Load, use
// and destroy it on one thread.
class ClapModule
{
public:
  // The module at path, or null with a reason in *error.
  static std::unique_ptr<ClapModule> Load(const std::string& path, std::string* error);
  ~ClapModule();
  ClapModule(const ClapModule&) = delete;
  ClapModule& operator=(const ClapModule&) = delete;

  const clap_plugin_entry_t& Entry() const { return *mEntry; }
  const std::string& Path() const { return mPath; }
  // The factories the entry answers; null when it has none.
  const clap_plugin_factory_t* PluginFactory() const;
  const clap_preset_discovery_factory_t* PresetDiscoveryFactory() const;
  // How long init took, in milliseconds.
  double InitMilliseconds() const { return mInitMilliseconds; }

private:
  explicit ClapModule(const std::string& path) : mLibrary(path), mPath(path) {}

  PluginLibrary mLibrary;
  std::string mPath;
  const clap_plugin_entry_t* mEntry = nullptr;
  bool mInitialized = false;
  double mInitMilliseconds = 0.0;
};
