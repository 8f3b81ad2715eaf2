#include "lice_png.h"

#include "png_silent.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

namespace
{
constexpr std::size_t kSignatureBytes = 8;
// The signature, then the header chunk's length and type, then its width
// and height (big-endian).
constexpr std::size_t kHeaderWidthAt = 16;
constexpr std::size_t kHeaderSizeEnd = 24;
constexpr unsigned char kHeaderChunkType[] = {'I', 'H', 'D', 'R'};

std::atomic<int> gDecodeCount{0};

bool IsPngSignature(const void* bytes, std::size_t length)
{
  return bytes && length >= kSignatureBytes &&
         png_sig_cmp(static_cast<png_const_bytep>(bytes), 0, kSignatureBytes) == 0;
}

std::uint32_t BigEndianAt(const unsigned char* bytes)
{
  return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
         std::uint32_t(bytes[2]) << 8 | std::uint32_t(bytes[3]);
}

bool IsDecodableSide(std::uint32_t side)
{
  return side >= 1 && side <= std::uint32_t(kPngMaxSide);
}

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

// Each pixel as the bytes B, G, R, A: in memory, the packed 0xAARRGGBB
// value the raster layer uses, so rows need no pass of their own.
void RequestPixelBytes(png_structp png, png_infop info)
{
  const int colourType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;

  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS))
  {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  png_set_bgr(png);
  if (!hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
}
} // namespace

bool PngSizeFromMemory(const void* bytes, std::size_t length, int& width, int& height)
{
  if (!IsPngSignature(bytes, length) || length < kHeaderSizeEnd) return false;
  const auto* header = static_cast<const unsigned char*>(bytes);
  if (std::memcmp(header + kHeaderWidthAt - sizeof(kHeaderChunkType), kHeaderChunkType,
                  sizeof(kHeaderChunkType)) != 0)
    return false;
  const std::uint32_t declaredWidth = BigEndianAt(header + kHeaderWidthAt);
  const std::uint32_t declaredHeight = BigEndianAt(header + kHeaderWidthAt + 4);
  if (!IsDecodableSide(declaredWidth) || !IsDecodableSide(declaredHeight)) return false;
  width = int(declaredWidth);
  height = int(declaredHeight);
  return true;
}

int PngDecodeCount()
{
  return gDecodeCount.load(std::memory_order_relaxed);
}

struct PngRowDecoder::State
{
  explicit State(const void* bytes, std::size_t length)
      : reader{static_cast<const unsigned char*>(bytes), length, 0}
  {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngSilentError, PngSilentWarning);
    info = png ? png_create_info_struct(png) : nullptr;
  }
  ~State()
  {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
  State(const State&) = delete;
  State& operator=(const State&) = delete;

  MemoryReader reader;
  png_structp png = nullptr;
  png_infop info = nullptr;
};

PngRowDecoder::PngRowDecoder(const void* bytes, std::size_t length, Checksums checksums)
{
  if (!IsPngSignature(bytes, length))
  {
    mFailed = true;
    return;
  }
  gDecodeCount.fetch_add(1, std::memory_order_relaxed);
  mState = std::make_unique<State>(bytes, length);
  if (mState->info && checksums == Checksums::kSkip)
  {
    png_set_option(mState->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_set_crc_action(mState->png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  }
  if (!mState->info || !ReadHeader())
  {
    Fail();
    mBitmap.reset();
  }
}

PngRowDecoder::~PngRowDecoder() = default;

void PngRowDecoder::Fail()
{
  mState.reset();
  mFailed = true;
}

bool PngRowDecoder::ReadHeader()
{
  png_structp png = mState->png;
  png_infop info = mState->info;
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &mState->reader, ReadFromMemory);
  png_set_user_limits(png, kPngMaxSide, kPngMaxSide);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (!IsDecodableSide(width) || !IsDecodableSide(height)) return false;
  RequestPixelBytes(png, info);
  // Interlaced rows are complete only after the last pass.
  mPasses = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  mBitmap.reset(new (std::nothrow) LICE_MemBitmap(int(width), int(height)));
  return mBitmap && mBitmap->Width() == int(width) && mBitmap->Height() == int(height);
}

bool PngRowDecoder::DecodeRows(int rows)
{
  if (mFailed) return false;
  const int height = mBitmap->Height();
  rows = mPasses > 1 ? height : std::min(rows, height);
  if (rows <= mRowsDone) return true;
  if (!DecodeRowsFrom(mRowsDone, rows))
  {
    Fail();
    return false;
  }
  mRowsDone = rows;
  if (mRowsDone == height) mState.reset();
  return true;
}

bool PngRowDecoder::DecodeRowsFrom(int firstRow, int endRow)
{
  png_structp png = mState->png;
  auto* bytes = reinterpret_cast<unsigned char*>(mBitmap->Bits());
  const std::size_t rowBytes = std::size_t(mBitmap->RowSpan()) * 4;
  const bool last = endRow == mBitmap->Height();
  if (setjmp(png_jmpbuf(png))) return false;
  for (int pass = 0; pass < mPasses; ++pass)
    for (int row = firstRow; row < endRow; ++row)
      png_read_row(png, bytes + std::size_t(row) * rowBytes, nullptr);
  if (last) png_read_end(png, nullptr);
  return true;
}

std::unique_ptr<LICE_MemBitmap> PngRowDecoder::TakeBitmap()
{
  if (mFailed || mRowsDone != mBitmap->Height()) return nullptr;
  return std::move(mBitmap);
}

LICE_MemBitmap* LoadPngFromMemory(const void* bytes, std::size_t length)
{
  PngRowDecoder decoder(bytes, length);
  if (!decoder.DecodeRows(kPngMaxSide)) return nullptr;
  return decoder.TakeBitmap().release();
}
