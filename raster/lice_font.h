#pragma once

#include "lice_bitmap.h"

// windows.h maps DrawText to DrawTextA/W; the member below keeps its name.
// Include windows.h before this header where both are needed.
#ifdef DrawText
#undef DrawText
#endif

// A platform font: an HFONT on Windows, a FreeType face elsewhere.
using LICE_FontHandle = void*;

// Flags of LICE_IFont::SetFromPlatformFont.
enum LICE_FontFlag : int
{
  LICE_FontVertical = 1 << 0,         // glyphs turned a quarter turn, lines advance horizontally
  LICE_FontVerticalOpposite = 1 << 1, // with LICE_FontVertical: the other turn
  LICE_FontRenderAsciiNow = 1 << 2,   // render characters 0..127 when the font is set
  LICE_FontBlur = 1 << 4,
  LICE_FontInvert = 1 << 5,
  LICE_FontOneBit = 1 << 6, // coverage above 130 becomes 255, else 0
  LICE_FontShadow = 1 << 7, // shadow and outline use the outline colour
  LICE_FontOutline = 1 << 8,
  LICE_FontOwnsPlatformFont = 1 << 9, // destroyed with LICE_DestroyPlatformFont
  LICE_FontPreferNative = 1 << 10,
};

// Flags of LICE_IFont::DrawText (the platform's text-format values plus one
// of the raster layer's own).
enum LICE_TextFlag : unsigned
{
  LICE_TextLeft = 0,
  LICE_TextCenter = 0x1,
  LICE_TextRight = 0x2,
  LICE_TextVCenter = 0x4,
  LICE_TextBottom = 0x8,
  LICE_TextSingleLine = 0x20,
  LICE_TextNoClip = 0x100,
  LICE_TextCalcRect = 0x400,
  LICE_TextNoPrefix = 0x800,
  LICE_TextUseForegroundAlpha = 0x40000000, // the text colour's alpha scales the opacity
};

// Background modes of LICE_IFont::SetBkMode.
enum LICE_BkMode : int
{
  LICE_BkTransparent = 1,
  LICE_BkOpaque = 2,
};

// A font that draws UTF-8 text into bitmaps. Text drawing belongs to the
// user-interface thread; the process-wide scratch state is locked inside.
class LICE_IFont
{
public:
  virtual ~LICE_IFont() = default;

  virtual void SetFromPlatformFont(LICE_FontHandle font, int flags) = 0;
  // The Set... operations return the previous value.
  virtual LICE_pixel SetTextColor(LICE_pixel colour) = 0;
  virtual LICE_pixel SetBkColor(LICE_pixel colour) = 0;
  virtual LICE_pixel SetOutlineColor(LICE_pixel colour) = 0;
  virtual int SetBkMode(int mode) = 0;
  virtual void SetBlendMode(int mode, float opacity) = 0;
  // Draws `text` (length in bytes, or -1 up to the NUL) inside rect. With
  // LICE_TextCalcRect nothing is drawn and rect's right and bottom receive
  // the text's extent. Returns the text height (the width for vertical text).
  virtual int DrawText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect,
                       unsigned flags) = 0;
  virtual LICE_pixel TextColor() = 0;
  virtual LICE_FontHandle GetPlatformFont() = 0;
  virtual int LineHeight() = 0;
  // Composites the cached glyph of `character` with its top left at (x, y),
  // cut to clip (the whole bitmap when null). False when nothing was drawn
  // or the glyph has not been rendered yet.
  virtual bool DrawGlyph(LICE_IBitmap* bitmap, unsigned short character, int x, int y,
                         const LICE_Rect* clip) = 0;
};

// What a platform font is made from. quality: 0 platform default, 1 not
// antialiased, 2 antialiased, 3 ClearType (antialiased off Windows).
struct LICE_FontDescription
{
  const char* face;
  int height;      // character cell height in pixels; negative: em height
  int orientation; // degrees; applied by GDI only
  int weight;      // 400 normal, 700 bold
  bool italic;
  int quality;
};

// Creates a platform font (GDI on Windows; elsewhere the fontconfig match,
// "Arial" resolving to a metric-compatible face, loaded with FreeType).
// Null when none can be made. Any thread; takes the font lock.
LICE_FontHandle LICE_CreatePlatformFont(const LICE_FontDescription& description);
void LICE_DestroyPlatformFont(LICE_FontHandle font);

#include "critical_section.h"

#include <vector>

// The glyph-caching font. Each character is rendered once into an 8-bit
// coverage mask and then composited with the text colour, opacity and blend
// mode; with LICE_FontPreferNative the platform draws the text itself where
// it can (Windows, not under Wine).
class LICE_CachedFont : public LICE_IFont
{
public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void SetFromPlatformFont(LICE_FontHandle font, int flags) override;
  LICE_pixel SetTextColor(LICE_pixel colour) override;
  LICE_pixel SetBkColor(LICE_pixel colour) override;
  LICE_pixel SetOutlineColor(LICE_pixel colour) override;
  int SetBkMode(int mode) override;
  void SetBlendMode(int mode, float opacity) override;
  int DrawText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect,
               unsigned flags) override;
  LICE_pixel TextColor() override { return mTextColor; }
  LICE_FontHandle GetPlatformFont() override { return mFont; }
  int LineHeight() override { return mLineHeight; }
  bool DrawGlyph(LICE_IBitmap* bitmap, unsigned short character, int x, int y,
                 const LICE_Rect* clip) override;

  // Extra pixels between lines of multi-line text.
  void SetLineSpacing(int pixels) { mExtraLineSpacing = pixels; }
  // A font of the process-wide cache is shared by editors that may draw on
  // threads of their own, and drawing fills its glyph cache: whoever sets
  // its colour and draws with it holds this from the one to the other.
  CriticalSection& UseLock() { return mUseLock; }

private:
  struct GlyphRecord
  {
    int offset; // into the coverage buffer, plus one; 0 not rendered, -1 never drawable
    int width;
    int height;
    int advance;
    unsigned short code;
  };
  struct TextExtent
  {
    int width;
    int height;
  };

  GlyphRecord* FindGlyph(unsigned short code);
  GlyphRecord Glyph(unsigned short code);
  void RenderGlyph(GlyphRecord& glyph);
  void ApplyGlyphEffects(GlyphRecord& glyph, int start, int width, int height);
  bool UsesNativeDrawing(LICE_IBitmap* bitmap, unsigned flags) const;
  template <typename GlyphFn>
  TextExtent WalkText(const char* text, int length, unsigned flags, GlyphFn onGlyph);
  void ClearGlyphs();

  LICE_pixel mTextColor = 0;
  LICE_pixel mBkColor = 0xFFFFFFFF;
  LICE_pixel mEffectColor = 0xFFFFFFFF;
  int mBkMode = LICE_BkTransparent;
  int mBlendMode = 0;
  float mOpacity = 1.0f;
  int mFlags = 0;
  int mLineHeight = 0;
  int mExtraLineSpacing = 0;
  GlyphRecord mLowGlyphs[128] = {};
  std::vector<GlyphRecord> mHighGlyphs; // sorted by code
  std::vector<unsigned char> mCoverage;
  LICE_FontHandle mFont = nullptr;
  CriticalSection mUseLock;
};
