#pragma once

#include <cstddef>

// The bytes of a module's PNG resource, read in place (nothing is copied).
struct PngResourceBytes
{
  const void* bytes = nullptr;
  std::size_t size = 0;
};

// The resource `id` of the module (as LoadPngResource takes it); no bytes
// when it is absent. Platform part: Windows resources or the embedded table.
PngResourceBytes FindPngResourceBytes(const void* module, int id);
