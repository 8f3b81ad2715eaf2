#include "plug_module.h"

#include <windows.h>

#include <cstring>

namespace
{
HINSTANCE gModuleInstance = nullptr;
char gModuleFolder[MAX_PATH] = "";
} // namespace

// Library attach: the editor registers its window class and loads its images
// with this handle, so it is kept from the start.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  gModuleInstance = instance;
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
  return gModuleInstance;
}

const char* PlugModuleFolder()
{
  return gModuleFolder;
}
