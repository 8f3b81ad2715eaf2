#pragma once

// Where the engine gets its storage. EngineCreate uses the C heap; tests hand
// in allocators that fail on purpose to reach the failure paths.

#include <cstddef>

struct EngineMemory
{
  void* (*allocateZeroed)(std::size_t count, std::size_t bytesEach);
  void (*release)(void* block);
};

const EngineMemory& HeapEngineMemory();

// Prints one allocation failure message on stderr, one line each.
void ReportEngineMemoryFailure(const char* message);
