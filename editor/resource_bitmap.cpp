#include "resource_bitmap.h"

#include "lice_bitmap.h"
#include "lice_png.h"

#include <cctype>
#include <cstring>

bool IsPngFileName(const char* fileName)
{
  if (!fileName) return false;
  const char* dot = std::strrchr(fileName, '.');
  if (!dot || std::strlen(dot + 1) != 3) return false;
  const char* expected = "png";
  for (int i = 0; i < 3; ++i)
    if (std::tolower(static_cast<unsigned char>(dot[1 + i])) != expected[i]) return false;
  return true;
}

LICE_IBitmap* LoadPngResourceBitmap(void* moduleInstance, int id, const char* fileName)
{
  if (!IsPngFileName(fileName)) return nullptr;
  return LoadPngResource(moduleInstance, id);
}
