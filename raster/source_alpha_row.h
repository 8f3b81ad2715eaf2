#pragma once

#include "lice_bitmap.h"

namespace lice_blend
{
// One row of the source-alpha blit at full weight, the editor's most common
// blit: opaque source pixels are stored, transparent ones leave the
// destination, the rest blend as BlendPixelSourceAlpha(d, s, 256, 0) does.
// The pixels go four at a time; every result is the formula's.
void BlendSourceAlphaRow(LICE_pixel* dest, const LICE_pixel* src, int count);
} // namespace lice_blend
