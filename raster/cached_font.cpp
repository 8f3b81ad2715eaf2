#include "font_backend.h"
#include "lice_blit.h"
#include "lice_font.h"
#include "pixel_blend.h"
#include "utf8.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

namespace
{
constexpr std::size_t kCoverageGrowth = 64 * 1024;
constexpr int kMinimumGlyphScratch = 256;
// Orders the sorted glyph table by character code for std::lower_bound.
constexpr auto GlyphCodeBefore = [](const auto& glyph, unsigned short code)
{ return glyph.code < code; };
// Asked of a destination bitmap; a non-zero answer forbids native drawing.
constexpr int kNativeDrawingQuery = 0x59555678;
// Effects only the glyph cache can produce.
constexpr int kGlyphCacheOnlyFlags = LICE_FontVertical | LICE_FontVerticalOpposite |
                                     LICE_FontRenderAsciiNow | LICE_FontBlur | LICE_FontInvert |
                                     LICE_FontOneBit | LICE_FontShadow | LICE_FontOutline;
constexpr unsigned kAlignmentFlags =
    LICE_TextCenter | LICE_TextRight | LICE_TextVCenter | LICE_TextBottom;

// Shared by every cached font of the process, under FontLock().
struct SharedFontState
{
  int liveFonts = 0;
  LICE_SysBitmap* glyphScratch = nullptr;
  LICE_SysBitmap* nativeScratch = nullptr;
};

SharedFontState& Shared()
{
  static SharedFontState state;
  return state;
}

// The glyph scratch bitmap, at least side x side; null when it cannot exist.
LICE_SysBitmap* GlyphScratch(int side)
{
  LICE_SysBitmap*& scratch = Shared().glyphScratch;
  if (!scratch)
  {
    scratch = new (std::nothrow) LICE_SysBitmap(side, side);
    if (scratch) font_backend::PrepareGlyphScratch(*scratch);
  }
  else if (scratch->Width() < side || scratch->Height() < side)
  {
    scratch->Resize(std::max(scratch->Width(), side), std::max(scratch->Height(), side));
    font_backend::PrepareGlyphScratch(*scratch);
  }
  return scratch && scratch->Bits() ? scratch : nullptr;
}

// Half of each value plus an eighth of each of its four neighbours; a
// missing neighbour lends its share to the one opposite.
void Blur(std::vector<int>& values, int width, int height)
{
  const std::vector<int> source = values;
  auto at = [&](int x, int y) { return source[std::size_t(y) * width + x]; };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
    {
      const int left = x > 0 ? x - 1 : (x + 1 < width ? x + 1 : x);
      const int right = x + 1 < width ? x + 1 : (x > 0 ? x - 1 : x);
      const int up = y > 0 ? y - 1 : (y + 1 < height ? y + 1 : y);
      const int down = y + 1 < height ? y + 1 : (y > 0 ? y - 1 : y);
      values[std::size_t(y) * width + x] =
          (4 * at(x, y) + at(left, y) + at(right, y) + at(x, up) + at(x, down)) / 8;
    }
}

LICE_pixel* PixelRow(LICE_IBitmap* bitmap, int row)
{
  const int memoryRow = bitmap->IsFlipped() ? bitmap->Height() - 1 - row : row;
  return bitmap->Bits() + std::ptrdiff_t(memoryRow) * bitmap->RowSpan();
}
} // namespace

CriticalSection& FontLock()
{
  static CriticalSection lock;
  return lock;
}

LICE_CachedFont::LICE_CachedFont()
{
  CriticalSectionLock lock(FontLock());
  ++Shared().liveFonts;
}

LICE_CachedFont::~LICE_CachedFont()
{
  CriticalSectionLock lock(FontLock());
  if ((mFlags & LICE_FontOwnsPlatformFont) && mFont) LICE_DestroyPlatformFont(mFont);
  SharedFontState& shared = Shared();
  if (--shared.liveFonts == 0)
  {
    delete shared.glyphScratch;
    delete shared.nativeScratch;
    shared.glyphScratch = nullptr;
    shared.nativeScratch = nullptr;
  }
}

void LICE_CachedFont::SetFromPlatformFont(LICE_FontHandle font, int flags)
{
  CriticalSectionLock lock(FontLock());
  if ((mFlags & LICE_FontOwnsPlatformFont) && mFont && mFont != font)
    LICE_DestroyPlatformFont(mFont);
  mFlags = flags;
  mFont = font;
  mLineHeight = 0;
  if (font)
  {
    LICE_SysBitmap* scratch = GlyphScratch(kMinimumGlyphScratch);
    if (scratch) mLineHeight = font_backend::MetricHeight(font, *scratch);
  }
  ClearGlyphs();
  if (font && (flags & LICE_FontRenderAsciiNow))
    for (unsigned short code = 0; code < 128; ++code)
      Glyph(code);
}

void LICE_CachedFont::ClearGlyphs()
{
  for (unsigned short code = 0; code < 128; ++code)
    mLowGlyphs[code] = GlyphRecord{0, 0, 0, 0, code};
  mHighGlyphs.clear();
  mCoverage.clear();
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel colour)
{
  return std::exchange(mTextColor, colour);
}

LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel colour)
{
  return std::exchange(mBkColor, colour);
}

LICE_pixel LICE_CachedFont::SetOutlineColor(LICE_pixel colour)
{
  return std::exchange(mEffectColor, colour);
}

int LICE_CachedFont::SetBkMode(int mode)
{
  return std::exchange(mBkMode, mode);
}

void LICE_CachedFont::SetBlendMode(int mode, float opacity)
{
  mBlendMode = mode;
  mOpacity = opacity;
}

LICE_CachedFont::GlyphRecord* LICE_CachedFont::FindGlyph(unsigned short code)
{
  if (code < 128) return &mLowGlyphs[code];
  auto found = std::lower_bound(mHighGlyphs.begin(), mHighGlyphs.end(), code, GlyphCodeBefore);
  return found != mHighGlyphs.end() && found->code == code ? &*found : nullptr;
}

LICE_CachedFont::GlyphRecord LICE_CachedFont::Glyph(unsigned short code)
{
  GlyphRecord* glyph = FindGlyph(code);
  if (!glyph)
  {
    auto position = std::lower_bound(mHighGlyphs.begin(), mHighGlyphs.end(), code, GlyphCodeBefore);
    glyph = &*mHighGlyphs.insert(position, GlyphRecord{0, 0, 0, 0, code});
  }
  if (glyph->offset == 0 && mFont) RenderGlyph(*glyph);
  return *glyph;
}

void LICE_CachedFont::RenderGlyph(GlyphRecord& glyph)
{
  glyph = GlyphRecord{-1, 0, 0, 0, glyph.code};
  const int side = std::max(mLineHeight, 1) * 2 + 8;
  LICE_SysBitmap* scratch = GlyphScratch(side);
  if (!scratch) return;

  int width = 0, height = 0;
  font_backend::MeasureCharacter(mFont, *scratch, glyph.code, width, height);
  // Room for overhangs (italics) beyond the advance.
  int boxWidth = width + (mLineHeight >= 16 ? mLineHeight / 16 : 0) + 2;
  LICE_FillArea(scratch, 0, 0, boxWidth, height, 0xFF000000, 1.0f, LICE_BlendCopy);
  font_backend::DrawCharacter(mFont, *scratch, glyph.code, boxWidth, height);
  width = std::min(width, scratch->Width());
  boxWidth = std::min(boxWidth, scratch->Width());
  height = std::min(height, scratch->Height());
  if (width < 1 || height < 1) return;

  std::vector<int> values(std::size_t(boxWidth) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < boxWidth; ++x)
      values[std::size_t(y) * boxWidth + x] = LICE_RedOf(PixelRow(scratch, y)[x]);
  if (mFlags & LICE_FontBlur) Blur(values, boxWidth, height);
  int lastLit = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < boxWidth; ++x)
    {
      int& v = values[std::size_t(y) * boxWidth + x];
      if (mFlags & LICE_FontInvert) v = 255 - v;
      if (v > 0) lastLit = std::max(lastLit, x);
    }
  const int glyphWidth = std::max(width, lastLit + 1);

  const std::size_t start = mCoverage.size();
  const std::size_t needed = std::size_t(glyphWidth) * height;
  try
  {
    if (start + needed > mCoverage.capacity())
      mCoverage.reserve((start + needed + kCoverageGrowth - 1) / kCoverageGrowth * kCoverageGrowth);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < glyphWidth; ++x)
        mCoverage.push_back(static_cast<unsigned char>(values[std::size_t(y) * boxWidth + x]));
  }
  catch (const std::bad_alloc&)
  {
    mCoverage.resize(start);
    return;
  }
  glyph.offset = int(start) + 1;
  glyph.advance = width;
  ApplyGlyphEffects(glyph, int(start), glyphWidth, height);
}

void LICE_CachedFont::ApplyGlyphEffects(GlyphRecord& glyph, int start, int width, int height)
{
  unsigned char* coverage = mCoverage.data() + start;
  const std::size_t count = std::size_t(width) * height;
  if (mFlags & LICE_FontVertical)
  {
    // Clockwise: the top row becomes the right column; the opposite turn
    // makes it the left column.
    const bool opposite = (mFlags & LICE_FontVerticalOpposite) != 0;
    const std::vector<unsigned char> source(coverage, coverage + count);
    const int turnedWidth = height;
    for (int y = 0; y < width; ++y)
      for (int x = 0; x < turnedWidth; ++x)
      {
        const int sx = opposite ? width - 1 - y : y;
        const int sy = opposite ? x : height - 1 - x;
        coverage[std::size_t(y) * turnedWidth + x] = source[std::size_t(sy) * width + sx];
      }
    std::swap(width, height);
  }
  if (mFlags & (LICE_FontOneBit | LICE_FontShadow | LICE_FontOutline))
    for (std::size_t i = 0; i < count; ++i)
      coverage[i] = coverage[i] > 130 ? 255 : 0;
  if (mFlags & (LICE_FontShadow | LICE_FontOutline))
  {
    const bool outline = (mFlags & LICE_FontOutline) != 0;
    const std::vector<unsigned char> lit(coverage, coverage + count);
    auto isLit = [&](int x, int y)
    { return x >= 0 && y >= 0 && x < width && y < height && lit[std::size_t(y) * width + x]; };
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
      {
        if (lit[std::size_t(y) * width + x]) continue;
        const bool touched =
            outline ? isLit(x - 1, y) || isLit(x + 1, y) || isLit(x, y - 1) || isLit(x, y + 1)
                    : isLit(x - 1, y) || isLit(x, y - 1) || isLit(x - 1, y - 1);
        if (touched) coverage[std::size_t(y) * width + x] = 128;
      }
  }
  glyph.width = width;
  glyph.height = height;
}

bool LICE_CachedFont::UsesNativeDrawing(LICE_IBitmap* bitmap, unsigned flags) const
{
  if (!mFont || (bitmap && bitmap->Extended(kNativeDrawingQuery, nullptr) != 0)) return false;
  if (mLineHeight > 255) return true;
  return (mFlags & LICE_FontPreferNative) && !font_backend::WineKeyPresent() &&
         !(flags & LICE_TextUseForegroundAlpha) && !(mFlags & kGlyphCacheOnlyFlags) &&
         (mExtraLineSpacing == 0 || (flags & LICE_TextSingleLine));
}

template <typename GlyphFn>
LICE_CachedFont::TextExtent LICE_CachedFont::WalkText(const char* text, int length, unsigned flags,
                                                      GlyphFn onGlyph)
{
  const bool vertical = (mFlags & LICE_FontVertical) != 0;
  const bool singleLine = (flags & LICE_TextSingleLine) != 0;
  const int lineStep = mLineHeight + mExtraLineSpacing;
  int along = 0, longest = 0, lineOffset = 0, lineCross = 0;
  int remaining = length;
  while (length < 0 ? *text != '\0' : remaining > 0)
  {
    unsigned short code = 0;
    const int used = DecodeUtf8Char(text, length < 0 ? -1 : remaining, code);
    text += used;
    remaining -= used;
    if (code == '\r') continue;
    if (code == '\n')
    {
      if (!singleLine)
      {
        longest = std::max(longest, along);
        along = 0;
        lineCross = 0;
        lineOffset += lineStep;
        continue;
      }
      code = ' ';
    }
    const GlyphRecord glyph = Glyph(code);
    onGlyph(glyph, along, lineOffset);
    along += glyph.advance;
    lineCross = std::max(lineCross, vertical ? glyph.width : glyph.height);
  }
  longest = std::max(longest, along);
  const int cross = lineOffset + lineCross;
  return vertical ? TextExtent{cross, longest} : TextExtent{longest, cross};
}

int LICE_CachedFont::DrawText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect,
                              unsigned flags)
{
  const bool measuring = (flags & LICE_TextCalcRect) != 0;
  if (!text || !rect || (!bitmap && !measuring)) return 0;
  CriticalSectionLock lock(FontLock());
  const bool vertical = (mFlags & LICE_FontVertical) != 0;

  if (UsesNativeDrawing(bitmap, flags))
  {
    LICE_SysBitmap*& scratch = Shared().nativeScratch;
    if (!scratch) scratch = new (std::nothrow) LICE_SysBitmap(4, 4);
    const font_backend::NativeText request{mFont, mTextColor, mBkMode, mBkColor, mOpacity, bitmap,
                                           text,  length,     rect,    flags,    scratch};
    int result = 0;
    if (scratch && font_backend::DrawNative(request, result)) return result;
  }

  auto noDrawing = [](const GlyphRecord&, int, int) {};
  if (measuring)
  {
    const TextExtent extent = WalkText(text, length, flags, noDrawing);
    rect->right = rect->left + extent.width;
    rect->bottom = rect->top + extent.height;
    return vertical ? extent.width : extent.height;
  }

  float opacity = mOpacity;
  if (flags & LICE_TextUseForegroundAlpha)
    opacity *= static_cast<float>(LICE_AlphaOf(mTextColor)) / 255.0f;
  if (lice_blend::WeightToSteps(opacity) <= 0) return 0;

  int x = rect->left, y = rect->top;
  if (flags & kAlignmentFlags)
  {
    const TextExtent extent = WalkText(text, length, flags, noDrawing);
    if (flags & LICE_TextCenter)
      x = rect->left + (rect->right - rect->left - extent.width) / 2;
    else if (flags & LICE_TextRight)
      x = rect->right - extent.width;
    if (flags & LICE_TextVCenter)
      y = rect->top + (rect->bottom - rect->top - extent.height) / 2;
    else if (flags & LICE_TextBottom)
      y = rect->bottom - extent.height;
  }

  LICE_Rect clip{0, 0, bitmap->Width(), bitmap->Height()};
  if (!(flags & LICE_TextNoClip))
    clip = {std::max(clip.left, rect->left), std::max(clip.top, rect->top),
            std::min(clip.right, rect->right), std::min(clip.bottom, rect->bottom)};
  // Text runs right and down from its start: a start beyond the clip's
  // right or bottom edge cannot show anything.
  if (clip.left >= clip.right || clip.top >= clip.bottom || x >= clip.right || y >= clip.bottom)
    return 0;

  const float fontOpacity = mOpacity;
  mOpacity = opacity;
  const TextExtent extent =
      WalkText(text, length, flags,
               [&](const GlyphRecord& glyph, int along, int lineOffset)
               {
                 if (glyph.offset > 0)
                   DrawGlyph(bitmap, glyph.code, vertical ? x + lineOffset : x + along,
                             vertical ? y + along : y + lineOffset, &clip);
               });
  mOpacity = fontOpacity;
  return vertical ? extent.width : extent.height;
}

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* bitmap, unsigned short character, int x, int y,
                                const LICE_Rect* clip)
{
  if (!bitmap || !bitmap->Bits() || bitmap->RowSpan() <= 0) return false;
  const GlyphRecord* glyph = FindGlyph(character);
  if (!glyph || glyph->offset <= 0) return false;

  std::int64_t left = 0, top = 0, right = bitmap->Width(), bottom = bitmap->Height();
  if (clip)
  {
    left = std::max<std::int64_t>(left, clip->left);
    top = std::max<std::int64_t>(top, clip->top);
    right = std::min<std::int64_t>(right, clip->right);
    bottom = std::min<std::int64_t>(bottom, clip->bottom);
  }
  left = std::max<std::int64_t>(left, x);
  top = std::max<std::int64_t>(top, y);
  right = std::min<std::int64_t>(right, std::int64_t(x) + glyph->width);
  bottom = std::min<std::int64_t>(bottom, std::int64_t(y) + glyph->height);
  if (left >= right || top >= bottom) return false;

  if (mBkMode == LICE_BkOpaque)
    LICE_FillArea(bitmap, int(left), int(top), int(right - left), int(bottom - top), mBkColor,
                  mOpacity, mBlendMode & ~LICE_BlendUseSourceAlpha);

  const int weight = lice_blend::WeightToSteps(mOpacity);
  const int op = mBlendMode & LICE_BlendMask;
  const bool full = weight >= 256;
  const bool effects = (mFlags & (LICE_FontShadow | LICE_FontOutline)) != 0;
  const bool oneBit = (mFlags & LICE_FontOneBit) != 0;
  const unsigned char* coverage = mCoverage.data() + glyph->offset - 1;
  for (std::int64_t row = top; row < bottom; ++row)
  {
    LICE_pixel* pixels = PixelRow(bitmap, int(row));
    const unsigned char* cells = coverage + (row - y) * glyph->width;
    for (std::int64_t column = left; column < right; ++column)
    {
      const int v = cells[column - x];
      if (v == 0) continue;
      LICE_pixel& d = pixels[column];
      // Shadow and outline pixels are 255 (text) or 128 (effect colour).
      const LICE_pixel colour = effects && v != 255 ? mEffectColor : mTextColor;
      const int cover = effects ? 255 : v;
      if (op != 0)
      {
        d = lice_blend::FillPixel(d, colour, cover * weight / 256, op);
        continue;
      }
      if (full && (effects || oneBit))
      {
        d = colour;
        continue;
      }
      const int keep = full ? 255 - cover : 256 - std::min(256, weight * cover / 256);
      d = lice_blend::PerColourByte(d, colour, 255 - (255 - LICE_AlphaOf(d)) * keep / 256,
                                    [keep](int db, int cb) { return cb + (db - cb) * keep / 256; });
    }
  }
  return true;
}
