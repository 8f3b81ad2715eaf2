#include "lice_png.h"

#include <windows.h>

LICE_MemBitmap* LoadPngResource(const void* module, int id)
{
  HMODULE instance = static_cast<HMODULE>(const_cast<void*>(module));
  HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id & 0xFFFF), "PNG");
  if (!resource) return nullptr;
  const DWORD size = SizeofResource(instance, resource);
  if (size < 8) return nullptr;
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return nullptr;
  return LoadPngFromMemory(bytes, size);
}
