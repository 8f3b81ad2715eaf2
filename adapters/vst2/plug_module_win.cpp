#include "plug_module.h"

#include <windows.h>

namespace
{
HINSTANCE gModuleInstance = nullptr;
}

void* PlugModuleInstance()
{
  return gModuleInstance;
}

// The library entry keeps the module handle for the editor on every
// notification the system sends.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
  gModuleInstance = instance;
  return TRUE;
}
