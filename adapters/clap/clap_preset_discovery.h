#pragma once

#include "clap_abi.h"

// The preset-discovery factory: one provider that declares the preset file
// type and the Factory and User folders of the preset library, and
// describes the presets found there. Thread-safe; the provider reads the
// disk and allocates (hosts index outside the audio path).
const clap_preset_discovery_factory_t& ThudwerkPresetDiscoveryFactory();
