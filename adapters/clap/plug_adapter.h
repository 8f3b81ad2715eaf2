#pragma once

// The adapter the instrument derives from in the CLAP build; the
// instrument's sources see this header through this folder's include path.
// Its constructor receives the host the factory was given, followed by the
// plugin base's identity arguments.

#include "iplug_clap.h"
#include "plug_module.h"

using IPlugAdapter = IPlugCLAP;
using IPlugHostContext = const clap_host_t*;
