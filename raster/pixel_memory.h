#pragma once

#include <cstddef>

// Memory for bitmap pixels, released with std::free (and resizable with
// std::realloc). Null when there is not enough. Where the system maps large
// blocks in large pages, these are asked for: a freshly decoded image then
// costs a few page faults instead of one per 4 KiB, which on a virtual
// machine is most of the time its first drawing takes.
void* AllocatePixelMemory(std::size_t bytes);
