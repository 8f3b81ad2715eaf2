#include "plug_module.h"

#include <windows.h>

// The test program itself carries the editor images as resources.
void* PlugModuleInstance()
{
  return GetModuleHandleA(nullptr);
}
