#include "lice_png.h"

#include "png_silent.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace
{
constexpr std::size_t kSignatureBytes = 8;

// Zero bytes a truncated stream may be padded with before decoding stops:
// enough for libpng to reach the checksum that reports the damage, without
// walking through a corrupt length field's gigabytes of nothing.
constexpr std::size_t kMaxPadding = 64 * 1024;

struct MemoryReader
{
  const unsigned char* next;
  std::size_t remaining;
  std::size_t padded;
};

// Past the end the stream reads as zeros; libpng then reports the damage
// through its checksums instead of reading out of bounds.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  const std::size_t available = count < reader->remaining ? count : reader->remaining;
  std::memcpy(out, reader->next, available);
  std::memset(out + available, 0, count - available);
  reader->next += available;
  reader->remaining -= available;
  reader->padded += count - available;
  if (reader->padded > kMaxPadding) png_error(png, "truncated");
}

// Everything that must be released after a libpng error jump lives here,
// outside the frame that calls setjmp.
struct Decode
{
  png_structp png = nullptr;
  png_infop info = nullptr;
  LICE_MemBitmap* bitmap = nullptr;
  png_bytep* rows = nullptr;
  MemoryReader reader{};
};

void RequestArgbBytes(Decode& d)
{
  const int colourType = png_get_color_type(d.png, d.info);
  const int bitDepth = png_get_bit_depth(d.png, d.info);
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;

  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(d.png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(d.png);
  if (png_get_valid(d.png, d.info, PNG_INFO_tRNS))
  {
    png_set_tRNS_to_alpha(d.png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(d.png);
  if (bitDepth < 8) png_set_packing(d.png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(d.png);
  if (hasAlpha)
    png_set_swap_alpha(d.png);
  else
    png_set_filler(d.png, 0xFF, PNG_FILLER_BEFORE);
}

bool DecodeInto(Decode& d)
{
  if (setjmp(png_jmpbuf(d.png))) return false;

  png_set_read_fn(d.png, &d.reader, ReadFromMemory);
  png_set_user_limits(d.png, kPngMaxSide, kPngMaxSide);
  png_read_info(d.png, d.info);
  const png_uint_32 width = png_get_image_width(d.png, d.info);
  const png_uint_32 height = png_get_image_height(d.png, d.info);
  if (width < 1 || height < 1 || width > png_uint_32(kPngMaxSide) ||
      height > png_uint_32(kPngMaxSide))
    return false;

  RequestArgbBytes(d);

  d.bitmap = new (std::nothrow) LICE_MemBitmap(int(width), int(height));
  if (!d.bitmap || d.bitmap->Width() != int(width) || d.bitmap->Height() != int(height))
    return false;
  d.rows = new (std::nothrow) png_bytep[height];
  if (!d.rows) return false;
  auto* bytes = reinterpret_cast<unsigned char*>(d.bitmap->Bits());
  const std::size_t rowBytes = std::size_t(d.bitmap->RowSpan()) * 4;
  for (png_uint_32 row = 0; row < height; ++row)
    d.rows[row] = bytes + row * rowBytes;
  png_read_image(d.png, d.rows);
  png_read_end(d.png, nullptr);
  return true;
}

// Bytes A, R, G, B become the packed 0xAARRGGBB value.
void ArgbBytesToPixels(LICE_MemBitmap& bitmap)
{
  const int width = bitmap.Width();
  for (int row = 0; row < bitmap.Height(); ++row)
  {
    LICE_pixel* pixels = bitmap.Bits() + std::size_t(row) * bitmap.RowSpan();
    const auto* bytes = reinterpret_cast<const unsigned char*>(pixels);
    for (int x = 0; x < width; ++x)
    {
      const unsigned char* p = bytes + 4 * x;
      pixels[x] = LICE_Rgba(p[1], p[2], p[3], p[0]);
    }
  }
}
} // namespace

LICE_MemBitmap* LoadPngFromMemory(const void* bytes, std::size_t length)
{
  if (!bytes || length < kSignatureBytes ||
      png_sig_cmp(static_cast<png_const_bytep>(bytes), 0, kSignatureBytes) != 0)
    return nullptr;

  Decode d;
  d.reader = {static_cast<const unsigned char*>(bytes), length, 0};
  d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngSilentError, PngSilentWarning);
  if (!d.png) return nullptr;
  d.info = png_create_info_struct(d.png);
  const bool decoded = d.info && DecodeInto(d);
  png_destroy_read_struct(&d.png, d.info ? &d.info : nullptr, nullptr);
  delete[] d.rows;
  if (!decoded)
  {
    delete d.bitmap;
    return nullptr;
  }
  ArgbBytesToPixels(*d.bitmap);
  return d.bitmap;
}
