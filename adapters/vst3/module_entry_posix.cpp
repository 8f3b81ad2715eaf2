#include "module_entry.h"
#include "plug_module.h"

#include "pluginterfaces/base/fplatform.h"

#include <dlfcn.h>

#include <cstring>

static char gModuleFolder[4096] = "";

static void StoreModuleFolder()
{
  Dl_info info{};
  if (!dladdr(gModuleFolder, &info) || !info.dli_fname) return;
  const size_t length = std::strlen(info.dli_fname);
  if (length >= sizeof(gModuleFolder)) return;
  std::memcpy(gModuleFolder, info.dli_fname, length + 1);
  char* lastSeparator = std::strrchr(gModuleFolder, '/');
  if (lastSeparator)
    lastSeparator[1] = '\0';
  else
    gModuleFolder[0] = '\0';
}

// Resources are compiled into the module here; no handle is needed.
void* PlugModuleInstance()
{
  return nullptr;
}

const char* VstModuleFolder()
{
  return gModuleFolder;
}

extern "C" SMTG_EXPORT_SYMBOL bool ModuleEntry(void*)
{
  StoreModuleFolder();
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL bool ModuleExit()
{
  return true;
}
