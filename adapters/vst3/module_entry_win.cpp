#include "module_entry.h"
#include "plug_module.h"

#include "pluginterfaces/base/fplatform.h"

#include <windows.h>

#include <cstring>

static HINSTANCE gModuleHandle = nullptr;
static char gModuleFolder[MAX_PATH] = "";

// Library attach: the editor registers its window class and loads its images
// with this handle, so it is kept from the start.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  gModuleHandle = instance;
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
  if (length > 0 && length < MAX_PATH)
  {
    char* lastSeparator = std::strrchr(path, '\\');
    if (lastSeparator) lastSeparator[1] = '\0';
    std::memcpy(gModuleFolder, path, sizeof(gModuleFolder));
  }
  return TRUE;
}

void* PlugModuleInstance()
{
  return gModuleHandle;
}

const char* VstModuleFolder()
{
  return gModuleFolder;
}

extern "C" SMTG_EXPORT_SYMBOL bool InitDll()
{
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL bool ExitDll()
{
  return true;
}
