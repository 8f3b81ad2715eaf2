#pragma once

#include "critical_section.h"
#include "lice_bitmap.h"
#include "lice_png.h"

#include <atomic>
#include <memory>

// True when the text after the file name's last dot is "png", in any case.
bool IsPngFileName(const char* fileName);

// A PNG resource of the module whose size is read from its header at once
// and whose pixels are decoded when first asked for: by Bits and RowSpan
// all of them, by a blit (LICE_EXT_ROWS_READY) only the rows from the top
// down to the last one it reads. An editor that is never drawn decodes
// nothing; a large image shown only in part never decodes its hidden rows.
// Shared through the image cache by every editor of the process: one thread
// decodes at a time, others asking for more rows meanwhile wait for it;
// decoded rows are only read. When decoding fails, the rows not decoded by
// then draw nothing. The size never changes.
class ResourceBitmap : public LICE_IBitmap
{
public:
  // Null when the module has no PNG resource of that id.
  static ResourceBitmap* Find(const void* moduleInstance, int id);
  ~ResourceBitmap() override;

  LICE_pixel* Bits() override;
  int Width() override { return mWidth; }
  int Height() override { return mHeight; }
  int RowSpan() override;
  bool IsFlipped() override { return false; }
  // Refused: every editor of the process draws from the same pixels.
  bool Resize(int, int) override { return false; }
  void* DeviceContext() override { return nullptr; }
  std::intptr_t Extended(int id, void* data) override;

private:
  ResourceBitmap(const void* moduleInstance, int id, int width, int height);
  // The pixels with rows [0, rows) decoded, or null.
  LICE_MemBitmap* RowsReady(int rows);

  const void* const mModule;
  const int mId;
  const int mWidth;
  const int mHeight;
  CriticalSection mDecodeLock;
  std::unique_ptr<PngRowDecoder> mDecoder;
  // Published after the rows they count are decoded.
  std::atomic<LICE_MemBitmap*> mPixels{nullptr};
  std::atomic<int> mRowsDone{0};
};

// The image of resource id of the module, decoded when first drawn, when
// the file name says PNG; null otherwise or when there is no such resource.
// The caller owns it.
LICE_IBitmap* LoadPngResourceBitmap(void* moduleInstance, int id, const char* fileName);
