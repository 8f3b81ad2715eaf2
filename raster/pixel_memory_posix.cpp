#include "pixel_memory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace
{
constexpr std::size_t kLargePage = std::size_t(2) << 20;
} // namespace

void* AllocatePixelMemory(std::size_t bytes)
{
  if (bytes < kLargePage) return std::malloc(bytes);
  void* memory = std::aligned_alloc(kLargePage, (bytes + kLargePage - 1) / kLargePage * kLargePage);
  // Only whole large pages: the rest stays in small ones, so that memory
  // is not held for nothing. Only advice: the memory works the same without.
  if (memory) madvise(memory, bytes / kLargePage * kLargePage, MADV_HUGEPAGE);
  return memory;
}
