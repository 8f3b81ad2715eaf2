#include "module_entry.h"

#include "pluginterfaces/base/fplatform.h"

extern "C" SMTG_EXPORT_SYMBOL bool InitDll()
{
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL bool ExitDll()
{
  return true;
}
