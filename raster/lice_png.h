#pragma once

#include "lice_bitmap.h"

#include <cstddef>
#include <vector>

// PNG images in the raster layer's pixel format. Decoding keeps its state in
// locals: several decodes may run at once on different threads.

// Largest width or height accepted; anything bigger is refused before any
// pixel memory is allocated.
constexpr int kPngMaxSide = 16384;

// Decodes a PNG held in memory. Returns an owned bitmap of the image's size
// (row 0 at the top, alpha 255 for images without alpha) or null for data
// that is not a PNG, is corrupt or truncated, or is too large.
LICE_MemBitmap* LoadPngFromMemory(const void* bytes, std::size_t length);

// Decodes the image resource `id`. On Windows `module` is the instance
// handle of the module carrying resources of type "PNG"; elsewhere it is an
// EmbeddedPngTable (embedded_png.h). Null when absent or undecodable.
LICE_MemBitmap* LoadPngResource(const void* module, int id);

// Encodes the bitmap as an 8-bit RGBA PNG; false for a bitmap without
// pixels or when libpng fails (then `out` is left empty).
bool EncodePng(LICE_IBitmap* bitmap, std::vector<unsigned char>& out);

// EncodePng written to a file (path in the platform's narrow encoding).
bool SavePng(LICE_IBitmap* bitmap, const char* path);
