#pragma once

// What the glyph cache needs from the platform's text renderer: GDI on
// Windows (font_backend_win.cpp), FreeType elsewhere
// (font_backend_freetype.cpp). Every function runs with FontLock() held.

#include "critical_section.h"
#include "lice_font.h"

// The process-wide lock over the scratch bitmaps, the live-font count and
// the platform renderer's shared state.
CriticalSection& FontLock();

namespace font_backend
{
// Readies a newly sized glyph scratch bitmap for white-on-black rendering.
void PrepareGlyphScratch(LICE_IBitmap& scratch);
// The font's text-metric height.
int MetricHeight(LICE_FontHandle font, LICE_IBitmap& scratch);
// The size of one character laid out on a single line.
void MeasureCharacter(LICE_FontHandle font, LICE_IBitmap& scratch, unsigned short code, int& width,
                      int& height);
// Draws the character in white with its cell at the scratch bitmap's origin,
// over a box already filled black.
void DrawCharacter(LICE_FontHandle font, LICE_IBitmap& scratch, unsigned short code, int boxWidth,
                   int height);
// True when the registry key "Software\Wine" exists (never off Windows).
bool WineKeyPresent();

struct NativeText
{
  LICE_FontHandle font;
  LICE_pixel textColor;
  int bkMode;
  LICE_pixel bkColor;
  float opacity;
  LICE_IBitmap* dest; // null when only measuring
  const char* text;
  int length;
  LICE_Rect* rect;
  unsigned flags;
  LICE_IBitmap* scratch; // for destinations without a device context
};
// Lets the platform draw or measure the text itself; false when the
// platform has no such renderer (the glyph cache then does the work).
bool DrawNative(const NativeText& request, int& result);
} // namespace font_backend
