#pragma once

#include "plug_module.h"

// The entry points a host calls when it loads and unloads a VST 3 module
// (InitDll and ExitDll on Windows, ModuleEntry and ModuleExit on Linux) live
// in module_entry_win.cpp and module_entry_posix.cpp; every plug-in module
// links one of them. They answer true: the module handle the editor needs
// is kept from library attach (plug_module.h), and nothing else needs
// setting up.

// The folder of the module file, ending in its separator.
inline const char* VstModuleFolder()
{
  return PlugModuleFolder();
}
