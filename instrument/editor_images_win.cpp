#include "editor_graphics.h"

#include "plug_module.h"

void* EditorImageModule()
{
  return PlugModuleInstance();
}
