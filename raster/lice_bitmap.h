#pragma once

#include <cstddef>
#include <cstdint>

// One pixel: 0xAARRGGBB, not premultiplied. In memory (little-endian) the
// bytes are blue, green, red, alpha. Packed colours use the same layout.
using LICE_pixel = std::uint32_t;

constexpr int LICE_BlueOf(LICE_pixel p)
{
  return static_cast<int>(p & 0xFF);
}
constexpr int LICE_GreenOf(LICE_pixel p)
{
  return static_cast<int>((p >> 8) & 0xFF);
}
constexpr int LICE_RedOf(LICE_pixel p)
{
  return static_cast<int>((p >> 16) & 0xFF);
}
constexpr int LICE_AlphaOf(LICE_pixel p)
{
  return static_cast<int>(p >> 24);
}
constexpr LICE_pixel LICE_Rgba(int red, int green, int blue, int alpha)
{
  return (static_cast<LICE_pixel>(alpha & 0xFF) << 24) |
         (static_cast<LICE_pixel>(red & 0xFF) << 16) |
         (static_cast<LICE_pixel>(green & 0xFF) << 8) | static_cast<LICE_pixel>(blue & 0xFF);
}

// A rectangle in pixels; right and bottom are exclusive.
struct LICE_Rect
{
  int left;
  int top;
  int right;
  int bottom;
};

// The Extended query of a bitmap that fills its rows on demand (a decoded
// image): data points to this record; the bitmap makes rows [0, rows)
// ready, fills in bits and rowSpan as Bits and RowSpan would answer, and
// answers 1 (0 when it cannot), without readying the rows below.
constexpr int LICE_EXT_ROWS_READY = 0x524F5753;
struct LICE_RowsReady
{
  int rows;
  LICE_pixel* bits;
  int rowSpan;
};

// A 32-bit raster surface. Bitmaps are not locked: each is used by one thread
// at a time (in the editor, the user-interface thread).
class LICE_IBitmap
{
public:
  virtual ~LICE_IBitmap() = default;

  // First pixel of row 0; null when the bitmap has no memory.
  virtual LICE_pixel* Bits() = 0;
  virtual int Width() = 0;
  virtual int Height() = 0;
  // Distance between rows, in pixels.
  virtual int RowSpan() = 0;
  // True when row 0 is the bottom row in memory.
  virtual bool IsFlipped() = 0;
  // True when the size changed. Pixel contents are undefined afterwards.
  virtual bool Resize(int width, int height) = 0;
  // The platform drawing context (an HDC on Windows) or null.
  virtual void* DeviceContext() = 0;
  // Extension queries; 0 means "not supported".
  virtual std::intptr_t Extended(int id, void* data) = 0;
};

// A heap bitmap: rows start 64-byte aligned, the row span is the width
// rounded up to a multiple of 4 pixels, and the buffer grows by a quarter
// beyond each request and never shrinks while the bitmap is not empty.
class LICE_MemBitmap : public LICE_IBitmap
{
public:
  LICE_MemBitmap(int width = 0, int height = 0);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* Bits() override;
  int Width() override { return mWidth; }
  int Height() override { return mHeight; }
  int RowSpan() override { return (mWidth + mRowAlignMask) & ~mRowAlignMask; }
  bool IsFlipped() override { return false; }
  bool Resize(int width, int height) override;
  void* DeviceContext() override { return nullptr; }
  std::intptr_t Extended(int id, void* data) override { return 0; }

  // Bytes held by the buffer (without the alignment slack).
  std::size_t AllocatedBytes() const { return mAllocatedBytes; }

private:
  void FreeBuffer();

  unsigned char* mRawBuffer = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  std::size_t mAllocatedBytes = 0;
  int mRowAlignMask = 3;
};

// The editor's off-screen surface. On Windows a top-down 32-bit DIB section
// selected into a memory device context, so GDI can draw into the same
// pixels; elsewhere heap pixels without a device context. Never shrinks its
// storage.
class LICE_SysBitmap : public LICE_IBitmap
{
public:
  LICE_SysBitmap(int width = 0, int height = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* Bits() override { return mPixels; }
  int Width() override { return mWidth; }
  int Height() override { return mHeight; }
  int RowSpan() override { return mAllocatedWidth; }
  bool IsFlipped() override { return false; }
  bool Resize(int width, int height) override;
  void* DeviceContext() override { return mDeviceContext; }
  std::intptr_t Extended(int id, void* data) override { return 0; }

private:
  // Platform parts: whether storage can be made at all, making it for the
  // allocated size, and releasing it.
  bool CanAllocate() const;
  void AllocatePixels();
  void ReleasePixels();

  int mWidth = 0;
  int mHeight = 0;
  void* mDeviceContext = nullptr;
  LICE_pixel* mPixels = nullptr;
  int mAllocatedWidth = 0;
  int mAllocatedHeight = 0;
  // The DIB section on Windows, the heap block elsewhere.
  void* mStorage = nullptr;
  void* mPreviousBitmap = nullptr;
};
