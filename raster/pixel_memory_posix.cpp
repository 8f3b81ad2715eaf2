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
  // A last part of at least half a large page gets one of its own; a
  // smaller one stays in small pages, not to hold much memory for nothing.
  const std::size_t wholePages = bytes / kLargePage;
  const std::size_t largePages = wholePages + (bytes % kLargePage >= kLargePage / 2 ? 1 : 0);
  void* memory = std::aligned_alloc(kLargePage, (wholePages + 1) * kLargePage);
  // Only advice: the memory works the same without.
  if (memory) madvise(memory, largePages * kLargePage, MADV_HUGEPAGE);
  return memory;
}
