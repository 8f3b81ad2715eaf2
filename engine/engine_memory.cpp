#include "engine_memory.h"

#include <cstdio>
#include <cstdlib>

const EngineMemory& HeapEngineMemory()
{
  static const EngineMemory heap = {&std::calloc, &std::free};
  return heap;
}

void ReportEngineMemoryFailure(const char* message)
{
  std::fprintf(stderr, "%s\n", message);
}
