#pragma once

#include "graphics_types.h"
#include "lice_bitmap.h"

#include <string>

class LICE_CachedFont;
class TextField;

// Painting of the editor's own prompts (menus, text fields, dialogs) into a
// bitmap: flat boxes and text in one font. Portable; the window code shows
// the bitmaps.
namespace DrawnWidgets
{
constexpr LICE_pixel kFace = LICE_Rgba(240, 240, 240, 255);
constexpr LICE_pixel kEdge = LICE_Rgba(120, 120, 120, 255);
constexpr LICE_pixel kText = LICE_Rgba(0, 0, 0, 255);
constexpr LICE_pixel kGreyText = LICE_Rgba(150, 150, 150, 255);
constexpr LICE_pixel kHighlight = LICE_Rgba(48, 96, 176, 255);
constexpr LICE_pixel kHighlightText = LICE_Rgba(255, 255, 255, 255);
constexpr LICE_pixel kFieldFace = LICE_Rgba(255, 255, 255, 255);

void Fill(LICE_IBitmap& bitmap, const IRect& rect, LICE_pixel colour);
// A one-pixel outline inside rect.
void Frame(LICE_IBitmap& bitmap, const IRect& rect, LICE_pixel colour);
// The width of text in the font (0 without a font).
int TextWidth(LICE_CachedFont* font, const std::string& text);
// Text centred vertically in rect, aligned by ITextStyle's alignment.
void Text(LICE_IBitmap& bitmap, LICE_CachedFont* font, const std::string& text, const IRect& rect,
          LICE_pixel colour, int align = ITextStyle::kAlignNear);
// A single-line field: face, text, selection and caret; the text scrolls so
// that the caret stays visible.
void Field(LICE_IBitmap& bitmap, LICE_CachedFont* font, const TextField& field, const IRect& rect,
           LICE_pixel face, LICE_pixel textColour, int align);
// A push button; the default one has a thicker edge.
void Button(LICE_IBitmap& bitmap, LICE_CachedFont* font, const std::string& label,
            const IRect& rect, bool isDefault);
} // namespace DrawnWidgets
