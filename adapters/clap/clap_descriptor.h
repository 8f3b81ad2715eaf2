#pragma once

#include "clap_abi.h"

// The module's one plug-in descriptor, defined beside its entry; every
// instance's clap_plugin_t points at it.
const clap_plugin_descriptor_t& ThudwerkClapDescriptor();

// The plug-in's id: hosts store it in their projects, so it never changes.
constexpr const char* kThudwerkClapId = "com.vornaudio.thudwerk";
