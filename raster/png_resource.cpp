#include "lice_png.h"
#include "png_resource_bytes.h"

LICE_MemBitmap* LoadPngResource(const void* module, int id)
{
  const PngResourceBytes found = FindPngResourceBytes(module, id);
  return LoadPngFromMemory(found.bytes, found.size);
}

bool PngResourceSize(const void* module, int id, int& width, int& height)
{
  const PngResourceBytes found = FindPngResourceBytes(module, id);
  return PngSizeFromMemory(found.bytes, found.size, width, height);
}
