#include "lice_png.h"

#include "png_silent.h"
#include "utf8_file.h"

#include <cstdio>

namespace
{
void AppendToVector(png_structp png, png_bytep data, png_size_t count)
{
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}
// State that must survive a libpng error jump, owned by the caller.
struct Encode
{
  png_structp png = nullptr;
  png_infop info = nullptr;
  LICE_IBitmap* bitmap = nullptr;
  unsigned char* row = nullptr;
  std::vector<unsigned char>* out = nullptr;
  PngRows rows = PngRows::kSmallest;
};

bool EncodeRows(Encode& e)
{
  if (setjmp(png_jmpbuf(e.png))) return false;
  const int width = e.bitmap->Width(), height = e.bitmap->Height();
  png_set_write_fn(e.png, e.out, AppendToVector, FlushNothing);
  png_set_IHDR(e.png, e.info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (e.rows == PngRows::kFastToDecode) png_set_filter(e.png, 0, PNG_FILTER_NONE);
  png_write_info(e.png, e.info);
  const int span = e.bitmap->RowSpan();
  for (int y = 0; y < height; ++y)
  {
    const int memoryRow = e.bitmap->IsFlipped() ? height - 1 - y : y;
    const LICE_pixel* pixels = e.bitmap->Bits() + std::size_t(memoryRow) * span;
    for (int x = 0; x < width; ++x)
    {
      unsigned char* p = e.row + 4 * x;
      p[0] = static_cast<unsigned char>(LICE_RedOf(pixels[x]));
      p[1] = static_cast<unsigned char>(LICE_GreenOf(pixels[x]));
      p[2] = static_cast<unsigned char>(LICE_BlueOf(pixels[x]));
      p[3] = static_cast<unsigned char>(LICE_AlphaOf(pixels[x]));
    }
    png_write_row(e.png, e.row);
  }
  png_write_end(e.png, nullptr);
  return true;
}
} // namespace

bool EncodePng(LICE_IBitmap* bitmap, std::vector<unsigned char>& out, PngRows rows)
{
  out.clear();
  if (!bitmap || !bitmap->Bits() || bitmap->Width() < 1 || bitmap->Height() < 1 ||
      bitmap->RowSpan() < bitmap->Width())
    return false;
  std::vector<unsigned char> row(std::size_t(bitmap->Width()) * 4);
  Encode e;
  e.bitmap = bitmap;
  e.row = row.data();
  e.out = &out;
  e.rows = rows;
  e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngSilentError, PngSilentWarning);
  if (!e.png) return false;
  e.info = png_create_info_struct(e.png);
  const bool encoded = e.info && EncodeRows(e);
  png_destroy_write_struct(&e.png, e.info ? &e.info : nullptr);
  if (!encoded) out.clear();
  return encoded;
}

bool SavePng(LICE_IBitmap* bitmap, const char* path, PngRows rows)
{
  std::vector<unsigned char> bytes;
  if (!path || !EncodePng(bitmap, bytes, rows)) return false;
  std::FILE* file = OpenFileUtf8(path, "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
