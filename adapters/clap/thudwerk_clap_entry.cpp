// The Thudwerk CLAP module: its entry, the plug-in factory with the one
// instrument, and the factory lookup that also answers the preset-discovery
// factory.

#include "clap_descriptor.h"
#include "clap_preset_discovery.h"
#include "creation_lock.h"
#include "thudwerk.h"

#include <cstring>
#include <mutex>

namespace
{
uint32_t PluginCount(const clap_plugin_factory_t*)
{
  return 1;
}

const clap_plugin_descriptor_t* PluginDescriptor(const clap_plugin_factory_t*, uint32_t index)
{
  return index == 0 ? &ThudwerkClapDescriptor() : nullptr;
}

const clap_plugin_t* CreatePlugin(const clap_plugin_factory_t*, const clap_host_t* host,
                                  const char* pluginId)
{
  if (!host || !pluginId || std::strcmp(pluginId, ThudwerkClapDescriptor().id) != 0 ||
      !ClapVersionIsCompatible(host->clap_version))
    return nullptr;
  CriticalSectionLock creation(CreationLock());
  // No exception may reach the host: a construction that runs out of memory
  // answers no instance.
  try
  {
    return (new Thudwerk(host))->ClapPlugin();
  }
  catch (...)
  {
    return nullptr;
  }
}

const clap_plugin_factory_t kPluginFactory = {PluginCount, PluginDescriptor, CreatePlugin};

// Hosts and wrappers may call init more than once; each successful init is
// paired with one deinit.
std::mutex gInitMutex;
int gInitCount = 0;

bool EntryInit(const char*)
{
  std::lock_guard<std::mutex> lock(gInitMutex);
  ++gInitCount;
  return true;
}

void EntryDeinit()
{
  std::lock_guard<std::mutex> lock(gInitMutex);
  if (gInitCount > 0) --gInitCount;
}

const void* EntryGetFactory(const char* factoryId)
{
  if (!factoryId) return nullptr;
  if (std::strcmp(factoryId, kClapPluginFactoryId) == 0) return &kPluginFactory;
  if (std::strcmp(factoryId, kClapPresetDiscoveryFactoryId) == 0 ||
      std::strcmp(factoryId, kClapPresetDiscoveryFactoryIdCompat) == 0)
    return &ThudwerkPresetDiscoveryFactory();
  return nullptr;
}
} // namespace

extern "C" THUDWERK_CLAP_EXPORT const clap_plugin_entry_t clap_entry = {
    kClapVersion, EntryInit, EntryDeinit, EntryGetFactory};
