#pragma once

// A CLAP plug-in linked into a test program and reached through its
// clap_entry, driven by the project's CLAP host: the thread test's session
// and the fuzzers build theirs this way.

#include "clap_events.h"
#include "clap_host.h"
#include "clap_instance.h"

// The entry's first plug-in, created for host and initialized, after the
// entry's own init: the caller destroys it, then calls the entry's deinit.
// Null, with the entry as it was, when a step fails.
inline const clap_plugin_t* CreateLinkedClapPlugin(const clap_plugin_entry_t& entry, ClapHost& host)
{
  if (!entry.init("")) return nullptr;
  const auto* factory =
      static_cast<const clap_plugin_factory_t*>(entry.get_factory(kClapPluginFactoryId));
  const clap_plugin_descriptor_t* descriptor =
      factory ? factory->get_plugin_descriptor(factory, 0) : nullptr;
  const clap_plugin_t* plugin =
      descriptor ? factory->create_plugin(factory, host.Host(), descriptor->id) : nullptr;
  host.SetPlugin(plugin);
  if (plugin && plugin->init(plugin)) return plugin;
  if (plugin) plugin->destroy(plugin);
  host.SetPlugin(nullptr);
  entry.deinit();
  return nullptr;
}
