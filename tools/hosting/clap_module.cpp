#include "clap_module.h"

#include <chrono>

std::unique_ptr<ClapModule> ClapModule::Load(const std::string& path, std::string* error)
{
  std::unique_ptr<ClapModule> module(new ClapModule(path));
  auto fail = [&](const std::string& reason)
  {
    if (error) *error = reason;
    return nullptr;
  };
  if (!module->mLibrary.IsLoaded()) return fail(module->mLibrary.LoadError());
  module->mEntry =
      static_cast<const clap_plugin_entry_t*>(module->mLibrary.FindSymbol("clap_entry"));
  if (!module->mEntry) return fail("no clap_entry in " + path);
  if (!ClapVersionIsCompatible(module->mEntry->clap_version))
    return fail("incompatible CLAP version in " + path);
  if (!module->mEntry->init) return fail("clap_entry without init");
  const auto start = std::chrono::steady_clock::now();
  module->mInitialized = module->mEntry->init(path.c_str());
  module->mInitMilliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!module->mInitialized) return fail("clap_entry.init failed for " + path);
  return module;
}

ClapModule::~ClapModule()
{
  if (mInitialized && mEntry->deinit) mEntry->deinit();
}

const clap_plugin_factory_t* ClapModule::PluginFactory() const
{
  return static_cast<const clap_plugin_factory_t*>(mEntry->get_factory(kClapPluginFactoryId));
}

const clap_preset_discovery_factory_t* ClapModule::PresetDiscoveryFactory() const
{
  return static_cast<const clap_preset_discovery_factory_t*>(
      mEntry->get_factory(kClapPresetDiscoveryFactoryId));
}
