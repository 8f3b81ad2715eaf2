#include "module_entry.h"

#include "pluginterfaces/base/fplatform.h"

extern "C" SMTG_EXPORT_SYMBOL bool ModuleEntry(void*)
{
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL bool ModuleExit()
{
  return true;
}
