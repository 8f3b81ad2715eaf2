#pragma once

#include <png.h>

// libpng reports through these instead of printing: failures are results.
inline void PngSilentError(png_structp png, png_const_charp)
{
  png_longjmp(png, 1);
}
inline void PngSilentWarning(png_structp, png_const_charp) {}
