#include "pixel_memory.h"

#include <cstdlib>

void* AllocatePixelMemory(std::size_t bytes)
{
  return std::malloc(bytes);
}
