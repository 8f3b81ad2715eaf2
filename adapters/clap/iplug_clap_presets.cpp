// clap.preset-load: a preset file chosen in the host's browser loads as the
// editor's load prompt loads it. Main thread.

#include "iplug_clap.h"

#include <filesystem>

namespace
{
// The file a preset location and load key name: the location itself when
// there is no key, else the key inside the location folder.
std::string PresetLocationPath(const char* location, const char* loadKey)
{
  if (!loadKey || !*loadKey) return location;
  const auto path =
      (std::filesystem::u8path(location) / std::filesystem::u8path(loadKey)).u8string();
  return std::string(path.begin(), path.end());
}

bool FromLocation(const clap_plugin_t* plugin, uint32_t locationKind, const char* location,
                  const char* loadKey)
{
  IPlugCLAP* self = IPlugCLAP::From(plugin);
  const auto* host = self->HostExtension<clap_host_preset_load_t>(kClapExtPresetLoad);
  const bool loaded = locationKind == kClapPresetDiscoveryLocationFile && location &&
                      self->LoadPresetFile(PresetLocationPath(location, loadKey));
  if (!loaded)
  {
    if (host && host->on_error)
      host->on_error(self->Host(), locationKind, location, loadKey, 0,
                     "the preset file could not be read");
    return false;
  }
  self->SendPendingHostNotifications();
  if (host && host->loaded) host->loaded(self->Host(), locationKind, location, loadKey);
  return true;
}
} // namespace

const clap_plugin_preset_load_t IPlugCLAP::kPresetLoadExtension = {FromLocation};
