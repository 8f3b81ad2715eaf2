#include "plug_module.h"

void* PlugModuleInstance()
{
  return nullptr;
}
