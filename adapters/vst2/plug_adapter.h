#pragma once

// What the format-independent instrument needs from the adapter of its
// build. The instrument's sources are compiled once per plug-in, each time
// with one adapter's folder on the include path, so this header picks the
// adapter: Thudwerk derives from IPlugAdapter and its constructor receives
// the IPlugHostContext the module entry was given.
//
// Every adapter's constructor takes that context followed by the plugin
// base's identity arguments (everything but the API, which the adapter
// sets).

#include "iplug_vst.h"
#include "plug_module.h"

using IPlugAdapter = IPlugVST;
using IPlugHostContext = audioMasterCallback;
