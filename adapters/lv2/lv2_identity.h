#pragma once

// Names hosts store in sessions, presets and automation: the plug-in and UI
// URIs and the port layout. Changing any of them breaks every saved
// session, so they are fixed here for the adapter, the UI and the generated
// descriptions alike.

#include <cstdint>

constexpr const char* kLv2PluginUri = "https://vornaudio.com/plugins/thudwerk";
constexpr const char* kLv2UiUri = "https://vornaudio.com/plugins/thudwerk#ui";
// The key of the state blob.
constexpr const char* kLv2StateKeyUri = "https://vornaudio.com/plugins/thudwerk#state";
// Where the factory presets live: <base><file name>.
constexpr const char* kLv2PresetUriBase = "https://vornaudio.com/plugins/thudwerk/presets#";

// Port indices: the MIDI input, the stereo output, one control port per
// parameter (parameter i at kLv2FirstParamPort + i) and the enable switch.
constexpr uint32_t kLv2EventsPort = 0;
constexpr uint32_t kLv2OutLeftPort = 1;
constexpr uint32_t kLv2OutRightPort = 2;
constexpr uint32_t kLv2FirstParamPort = 3;
// The port after the last parameter port, for nParams parameters.
constexpr uint32_t Lv2EnabledPort(int nParams)
{
  return kLv2FirstParamPort + static_cast<uint32_t>(nParams);
}
