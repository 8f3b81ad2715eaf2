#pragma once

// The adapter the instrument derives from in the VST 3 build; the
// instrument's sources see this header through this folder's include path.
// Its constructor receives the factory's host context (possibly null)
// followed by the plugin base's identity arguments.

#include "iplug_vst3.h"
#include "plug_module.h"

using IPlugAdapter = IPlugVST3;
using IPlugHostContext = Steinberg::FUnknown*;
