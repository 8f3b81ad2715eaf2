#include "png_resource_bytes.h"

#include <windows.h>

PngResourceBytes FindPngResourceBytes(const void* module, int id)
{
  HMODULE instance = static_cast<HMODULE>(const_cast<void*>(module));
  HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id & 0xFFFF), "PNG");
  if (!resource) return PngResourceBytes();
  const DWORD size = SizeofResource(instance, resource);
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return PngResourceBytes();
  return {bytes, size};
}
