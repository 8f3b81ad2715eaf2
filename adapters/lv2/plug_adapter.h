#pragma once

// The adapter the instrument derives from in the LV2 builds (the plug-in
// library and the editor's UI library); its constructor receives the
// host's instantiate arguments followed by the plugin base's identity
// arguments.

#include "iplug_lv2.h"
#include "plug_module.h"

using IPlugAdapter = IPlugLV2;
using IPlugHostContext = const Lv2HostContext*;
