#pragma once

#include "clap_abi.h"

#include <string>

// The preset-discovery factory: one provider that declares the preset file
// type and the Factory and User folders of the preset library, and
// describes the presets found there. Thread-safe; the provider reads the
// disk and allocates (hosts index outside the audio path).
const clap_preset_discovery_factory_t& ThudwerkPresetDiscoveryFactory();

// The file a preset location and load key name: the location itself when
// there is no key, else the key inside the location folder.
std::string PresetLocationPath(const char* location, const char* loadKey);
