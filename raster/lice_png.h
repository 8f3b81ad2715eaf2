#pragma once

#include "lice_bitmap.h"

#include <cstddef>
#include <memory>
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

// Decodes a PNG held in memory from the top, as many rows as asked for at a
// time, into a bitmap of the image's size; the bytes must outlive it. Rows
// not decoded yet are left untouched (a large image shown only in part
// never brings its hidden rows into memory). One thread at a time.
class PngRowDecoder
{
public:
  enum class Checksums
  {
    kVerify,
    // For images checked when they were built into the module: skipping
    // the checksums makes decoding about a quarter faster. Damaged data
    // still decodes safely, to wrong pixels or a failure.
    kSkip,
  };
  PngRowDecoder(const void* bytes, std::size_t length, Checksums checksums = Checksums::kVerify);
  ~PngRowDecoder();
  PngRowDecoder(const PngRowDecoder&) = delete;
  PngRowDecoder& operator=(const PngRowDecoder&) = delete;

  // Decodes rows [0, rows) (every row of an interlaced image). False for
  // data that is not a PNG, corrupt, truncated or too large; nothing more
  // is decoded then, and the rows decoded before stay as they are.
  bool DecodeRows(int rows);
  // Null until the header was read; its rows past RowsDone are undefined.
  LICE_MemBitmap* Bitmap() const { return mBitmap.get(); }
  int RowsDone() const { return mRowsDone; }
  // The bitmap once every row is decoded, else null.
  std::unique_ptr<LICE_MemBitmap> TakeBitmap();

private:
  // libpng's structures and the read position, while rows remain.
  struct State;
  bool ReadHeader();
  bool DecodeRowsFrom(int firstRow, int endRow);
  void Fail();

  std::unique_ptr<State> mState;
  std::unique_ptr<LICE_MemBitmap> mBitmap;
  int mRowsDone = 0;
  int mPasses = 1;
  bool mFailed = false;
};

// The size a PNG's header declares, read without decoding anything: false
// for data that is not a PNG or declares a size the decoder refuses.
bool PngSizeFromMemory(const void* bytes, std::size_t length, int& width, int& height);

// Decodes the image resource `id`. On Windows `module` is the instance
// handle of the module carrying resources of type "PNG"; elsewhere it is an
// EmbeddedPngTable (embedded_png.h). Null when absent or undecodable.
LICE_MemBitmap* LoadPngResource(const void* module, int id);
// The size of the image resource `id` from its header; false when absent
// or not a PNG.
bool PngResourceSize(const void* module, int id, int& width, int& height);

// How many images this module has decoded so far (any thread): what shows
// that an instance only being scanned decodes none.
int PngDecodeCount();

// What an encoded PNG is made for: the smallest file (libpng picks a row
// filter per row), or the fastest decoding (rows stored unfiltered, which
// the editor's images decode several times faster from when it opens).
enum class PngRows
{
  kSmallest,
  kFastToDecode,
};

// Encodes the bitmap as an 8-bit RGBA PNG; false for a bitmap without
// pixels or when libpng fails (then `out` is left empty).
bool EncodePng(LICE_IBitmap* bitmap, std::vector<unsigned char>& out,
               PngRows rows = PngRows::kSmallest);

// EncodePng written to a file (path in the platform's narrow encoding).
bool SavePng(LICE_IBitmap* bitmap, const char* path, PngRows rows = PngRows::kSmallest);
