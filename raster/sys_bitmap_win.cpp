#include "lice_bitmap.h"

#include <windows.h>

LICE_SysBitmap::LICE_SysBitmap(int width, int height)
{
  mDeviceContext = CreateCompatibleDC(nullptr);
  Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap()
{
  ReleasePixels();
  if (mDeviceContext) DeleteDC(static_cast<HDC>(mDeviceContext));
}

void LICE_SysBitmap::ReleasePixels()
{
  if (!mStorage) return;
  SelectObject(static_cast<HDC>(mDeviceContext), static_cast<HGDIOBJ>(mPreviousBitmap));
  DeleteObject(static_cast<HGDIOBJ>(mStorage));
  mStorage = nullptr;
  mPreviousBitmap = nullptr;
  mPixels = nullptr;
}

bool LICE_SysBitmap::CanAllocate() const
{
  return mDeviceContext != nullptr;
}

void LICE_SysBitmap::AllocatePixels()
{
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = mAllocatedWidth;
  info.bmiHeader.biHeight = -mAllocatedHeight; // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib =
      CreateDIBSection(static_cast<HDC>(mDeviceContext), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits)
  {
    mStorage = dib;
    mPreviousBitmap = SelectObject(static_cast<HDC>(mDeviceContext), dib);
    mPixels = static_cast<LICE_pixel*>(bits);
  }
  else if (dib)
  {
    DeleteObject(dib);
  }
}
