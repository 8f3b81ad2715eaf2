// LoadPngFromMemory with arbitrary bytes: null or a bitmap whose every
// pixel can be read.

#include "lice_png.h"

#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  std::unique_ptr<LICE_MemBitmap> bitmap(LoadPngFromMemory(data, size));
  if (!bitmap) return 0;
  const int width = bitmap->Width();
  const int height = bitmap->Height();
  if (width <= 0 || height <= 0 || width > kPngMaxSide || height > kPngMaxSide) std::abort();
  unsigned sum = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      sum += bitmap->Bits()[y * bitmap->RowSpan() + x];
  return static_cast<int>(sum & 0);
}
