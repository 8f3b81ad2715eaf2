#include "font_backend.h"
#include "lice_blit.h"
#include "utf8.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#ifdef DrawText
#undef DrawText
#endif

namespace
{
HDC DeviceContextOf(LICE_IBitmap& bitmap)
{
  return static_cast<HDC>(bitmap.DeviceContext());
}

// Selects a font into a device context for the lifetime of a scope.
class SelectedFont
{
public:
  SelectedFont(HDC dc, LICE_FontHandle font)
      : mDc(dc), mPrevious(SelectObject(dc, static_cast<HFONT>(font)))
  {
  }
  ~SelectedFont() { SelectObject(mDc, mPrevious); }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

private:
  HDC mDc;
  HGDIOBJ mPrevious;
};

COLORREF ColorRefOf(LICE_pixel colour)
{
  return RGB(LICE_RedOf(colour), LICE_GreenOf(colour), LICE_BlueOf(colour));
}

// The text as GDI takes it: UTF-16 when it holds a valid multi-byte UTF-8
// sequence, else the bytes in the system code page.
class PlatformText
{
public:
  PlatformText(const char* text, int length) : mText(text), mLength(length)
  {
    if (!HasMultiByteSequence()) return;
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    if (units <= 0) return;
    wchar_t* out = mLocal;
    if (units >= 1000)
    {
      mHeap.resize(std::size_t(units) + 1);
      out = mHeap.data();
    }
    const int converted = MultiByteToWideChar(CP_UTF8, 0, text, length, out, units);
    if (converted <= 0) return;
    // A NUL-terminated input converts its terminator too.
    mWideLength = length < 0 ? converted - 1 : converted;
    mWide = out;
  }
  PlatformText(const PlatformText&) = delete;
  PlatformText& operator=(const PlatformText&) = delete;

  int Draw(HDC dc, RECT& rect, UINT format) const
  {
    return mWide ? DrawTextW(dc, mWide, mWideLength, &rect, format)
                 : DrawTextA(dc, mText, mLength, &rect, format);
  }

private:
  bool HasMultiByteSequence() const
  {
    int remaining = mLength;
    for (const char* p = mText; mLength < 0 ? *p != '\0' : remaining > 0;)
    {
      unsigned short code = 0;
      const int used = DecodeUtf8Char(p, mLength < 0 ? -1 : remaining, code);
      if (used > 1) return true;
      p += used;
      remaining -= used;
    }
    return false;
  }

  const char* mText;
  int mLength;
  const wchar_t* mWide = nullptr;
  int mWideLength = 0;
  wchar_t mLocal[1024];
  std::vector<wchar_t> mHeap;
};

constexpr UINT kOwnFlags = LICE_TextUseForegroundAlpha;

int DrawIntoDeviceContext(const font_backend::NativeText& r, HDC dc, const PlatformText& text)
{
  SelectedFont selected(dc, r.font);
  SetTextColor(dc, ColorRefOf(r.textColor));
  SetBkMode(dc, r.bkMode == LICE_BkOpaque ? OPAQUE : TRANSPARENT);
  if (r.bkMode == LICE_BkOpaque) SetBkColor(dc, ColorRefOf(r.bkColor));
  RECT rect{r.rect->left, r.rect->top, r.rect->right, r.rect->bottom};
  const int result = text.Draw(dc, rect, (r.flags & ~kOwnFlags) | DT_NOPREFIX);
  GdiFlush();
  if (r.flags & DT_CALCRECT)
    *r.rect = {int(rect.left), int(rect.top), int(rect.right), int(rect.bottom)};
  return result;
}

// For bitmaps GDI cannot reach: the covered area is copied into the scratch
// bitmap, drawn on there and copied back with the font's opacity.
int DrawThroughScratch(const font_backend::NativeText& r, const PlatformText& text)
{
  LICE_IBitmap& scratch = *r.scratch;
  HDC dc = DeviceContextOf(scratch);
  const UINT lineFlags = r.flags & (DT_SINGLELINE | DT_CENTER | DT_RIGHT);
  RECT measured{0, 0, 0, 0};
  {
    SelectedFont selected(dc, r.font);
    text.Draw(dc, measured, lineFlags | DT_CALCRECT | DT_NOPREFIX);
  }
  const int width = measured.right, height = measured.bottom;
  const LICE_Rect& area = *r.rect;
  int x = area.left, y = area.top;
  if (r.flags & DT_CENTER)
    x = area.left + (area.right - area.left - width) / 2;
  else if (r.flags & DT_RIGHT)
    x = area.right - width;
  if (r.flags & DT_VCENTER)
    y = area.top + (area.bottom - area.top - height) / 2;
  else if (r.flags & DT_BOTTOM)
    y = area.bottom - height;

  LICE_Rect box{std::max(x, 0), std::max(y, 0), std::min(x + width, r.dest->Width()),
                std::min(y + height, r.dest->Height())};
  if (!(r.flags & DT_NOCLIP))
    box = {std::max(box.left, area.left), std::max(box.top, area.top),
           std::min(box.right, area.right), std::min(box.bottom, area.bottom)};
  if (box.left >= box.right || box.top >= box.bottom) return height;
  const int boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
  if (scratch.Width() < boxWidth || scratch.Height() < boxHeight)
    scratch.Resize(std::max(scratch.Width(), boxWidth), std::max(scratch.Height(), boxHeight));
  if (!scratch.Bits()) return 0;

  LICE_CopyArea(&scratch, r.dest, 0, 0, &box, 1.0f, LICE_BlendCopy);
  font_backend::NativeText inScratch = r;
  LICE_Rect textRect{x - box.left, y - box.top, x - box.left + width, y - box.top + height};
  inScratch.rect = &textRect;
  inScratch.flags = lineFlags | DT_NOCLIP;
  DrawIntoDeviceContext(inScratch, dc, text);
  const LICE_Rect drawn{0, 0, boxWidth, boxHeight};
  LICE_CopyArea(r.dest, &scratch, box.left, box.top, &drawn, r.opacity, LICE_BlendCopy);
  return height;
}

HFONT FontOf(LICE_FontHandle font)
{
  return static_cast<HFONT>(font);
}
} // namespace

LICE_FontHandle LICE_CreatePlatformFont(const LICE_FontDescription& d)
{
  static const DWORD kQuality[] = {DEFAULT_QUALITY, NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY,
                                   CLEARTYPE_QUALITY};
  const DWORD quality = d.quality >= 0 && d.quality <= 3 ? kQuality[d.quality] : DEFAULT_QUALITY;
  return CreateFontA(d.height, 0, d.orientation * 10, d.orientation * 10, d.weight,
                     d.italic ? TRUE : FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE,
                     d.face ? d.face : "");
}

void LICE_DestroyPlatformFont(LICE_FontHandle font)
{
  if (font) DeleteObject(FontOf(font));
}

namespace font_backend
{
void PrepareGlyphScratch(LICE_IBitmap& scratch)
{
  HDC dc = DeviceContextOf(scratch);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(0, 0, 0));
}

int MetricHeight(LICE_FontHandle font, LICE_IBitmap& scratch)
{
  HDC dc = DeviceContextOf(scratch);
  SelectedFont selected(dc, font);
  TEXTMETRICW metrics{};
  return GetTextMetricsW(dc, &metrics) ? int(metrics.tmHeight) : 0;
}

void MeasureCharacter(LICE_FontHandle font, LICE_IBitmap& scratch, unsigned short code, int& width,
                      int& height)
{
  HDC dc = DeviceContextOf(scratch);
  SelectedFont selected(dc, font);
  const wchar_t character = wchar_t(code);
  RECT rect{0, 0, 0, 0};
  DrawTextW(dc, &character, 1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  width = rect.right;
  height = rect.bottom;
}

void DrawCharacter(LICE_FontHandle font, LICE_IBitmap& scratch, unsigned short code, int boxWidth,
                   int height)
{
  HDC dc = DeviceContextOf(scratch);
  SelectedFont selected(dc, font);
  const wchar_t character = wchar_t(code);
  RECT rect{0, 0, boxWidth, height};
  DrawTextW(dc, &character, 1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  GdiFlush();
}

bool WineKeyPresent()
{
  // Tested once per process; called under FontLock().
  static int state = 0; // 0 not tested, 1 absent, 2 present
  if (state == 0)
  {
    HKEY key = nullptr;
    state = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) == ERROR_SUCCESS ? 2 : 1;
    if (state == 2) RegCloseKey(key);
  }
  return state == 2;
}

bool DrawNative(const NativeText& request, int& result)
{
  const PlatformText text(request.text, request.length);
  if (request.dest && request.dest->DeviceContext())
    result = DrawIntoDeviceContext(request, DeviceContextOf(*request.dest), text);
  else if (!request.dest || (request.flags & DT_CALCRECT))
    result = DrawIntoDeviceContext(request, DeviceContextOf(*request.scratch), text);
  else
    result = DrawThroughScratch(request, text);
  return true;
}
} // namespace font_backend
