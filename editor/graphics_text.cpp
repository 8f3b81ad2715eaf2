#include "graphics.h"

#include "font_cache.h"

#include "lice_bitmap.h"
#include "lice_font.h"

namespace
{
unsigned TextFlags(const ITextStyle& text)
{
  unsigned flags = LICE_TextNoClip;
  if (text.mColor.A != 255) flags |= LICE_TextUseForegroundAlpha;
  if (text.mAlign == ITextStyle::kAlignCenter)
    flags |= LICE_TextCenter;
  else if (text.mAlign == ITextStyle::kAlignFar)
    flags |= LICE_TextRight;
  return flags;
}
} // namespace

LICE_CachedFont* IGraphics::CacheFont(ITextStyle* text)
{
  if (!text) return nullptr;
  const FontCache::Key key{text->mSize, text->mOrientation, text->mStyle, text->mFont};
  if (LICE_CachedFont* cached = FontCache::Find(key))
  {
    text->mCached = cached;
    return cached;
  }
  const LICE_FontDescription description{text->mFont,
                                         text->mSize,
                                         text->mOrientation,
                                         text->mStyle == ITextStyle::kStyleBold ? 700 : 400,
                                         text->mStyle == ITextStyle::kStyleItalic,
                                         text->mQuality};
  // A failure is not cached: the next draw tries again.
  LICE_FontHandle platformFont = LICE_CreatePlatformFont(description);
  if (!platformFont) return nullptr;
  auto* font = new LICE_CachedFont();
  font->SetFromPlatformFont(platformFont, LICE_FontOwnsPlatformFont | LICE_FontPreferNative);
  text->mCached = FontCache::Insert(key, font);
  return text->mCached;
}

bool IGraphics::DrawText(ITextStyle* text, const char* str, const IRect& rect)
{
  if (!str || !*str) return true;
  if (!text || !mDrawBitmap) return false;
  if (mImageRowsWanted) return true;
  LICE_CachedFont* font = text->mCached ? text->mCached : CacheFont(text);
  if (!font) return false;
  CriticalSectionLock hold(font->UseLock());
  font->SetTextColor(text->mColor.Packed());
  LICE_Rect area{rect.L, rect.T, rect.R, rect.B};
  font->DrawText(mDrawBitmap.get(), str, -1, &area, TextFlags(*text));
  return true;
}

bool IGraphics::MeasureText(ITextStyle* text, const char* str, IRect& rect)
{
  if (!str || !*str) return true;
  if (!text) return false;
  LICE_CachedFont* font = text->mCached ? text->mCached : CacheFont(text);
  if (!font) return false;
  LICE_Rect extent{0, 0, 0, 0};
  {
    CriticalSectionLock hold(font->UseLock());
    font->SetTextColor(text->mColor.Packed());
    font->DrawText(nullptr, str, -1, &extent, TextFlags(*text) | LICE_TextCalcRect);
  }
  const int w = extent.right - extent.left;
  const int h = extent.bottom - extent.top;
  if (text->mAlign == ITextStyle::kAlignCenter)
  {
    const float middle = float(rect.L + rect.R) * 0.5f;
    rect.L = int(middle) - w / 2;
    rect.R = rect.L + w;
  }
  else if (text->mAlign == ITextStyle::kAlignFar)
  {
    rect.L = rect.R - w;
  }
  else
  {
    rect.R = rect.L + w;
  }
  rect.B = rect.T + h;
  return true;
}
