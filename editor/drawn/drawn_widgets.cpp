#include "drawn/drawn_widgets.h"

#include "drawn/text_field.h"

#include "lice_blit.h"
#include "lice_font.h"

#include <algorithm>

namespace DrawnWidgets
{
void Fill(LICE_IBitmap& bitmap, const IRect& rect, LICE_pixel colour)
{
  LICE_FillArea(&bitmap, rect.L, rect.T, rect.W(), rect.H(), colour, 1.0f, LICE_BlendCopy);
}

void Frame(LICE_IBitmap& bitmap, const IRect& rect, LICE_pixel colour)
{
  Fill(bitmap, IRect(rect.L, rect.T, rect.R, rect.T + 1), colour);
  Fill(bitmap, IRect(rect.L, rect.B - 1, rect.R, rect.B), colour);
  Fill(bitmap, IRect(rect.L, rect.T, rect.L + 1, rect.B), colour);
  Fill(bitmap, IRect(rect.R - 1, rect.T, rect.R, rect.B), colour);
}

int TextWidth(LICE_CachedFont* font, const std::string& text)
{
  if (!font || text.empty()) return 0;
  LICE_Rect extent{0, 0, 0, 0};
  CriticalSectionLock hold(font->UseLock());
  font->DrawText(nullptr, text.c_str(), int(text.size()), &extent,
                 LICE_TextCalcRect | LICE_TextSingleLine | LICE_TextNoPrefix);
  return extent.right - extent.left;
}

void Text(LICE_IBitmap& bitmap, LICE_CachedFont* font, const std::string& text, const IRect& rect,
          LICE_pixel colour, int align)
{
  if (!font || text.empty()) return;
  CriticalSectionLock hold(font->UseLock());
  font->SetTextColor(colour);
  unsigned flags = LICE_TextVCenter | LICE_TextSingleLine | LICE_TextNoPrefix;
  if (align == ITextStyle::kAlignCenter) flags |= LICE_TextCenter;
  if (align == ITextStyle::kAlignFar) flags |= LICE_TextRight;
  LICE_Rect area{rect.L, rect.T, rect.R, rect.B};
  font->DrawText(&bitmap, text.c_str(), int(text.size()), &area, flags);
}

void Field(LICE_IBitmap& bitmap, LICE_CachedFont* font, const TextField& field, const IRect& rect,
           LICE_pixel face, LICE_pixel textColour, int align)
{
  Fill(bitmap, rect, face);
  Frame(bitmap, rect, kEdge);
  const IRect inner(rect.L + 3, rect.T + 1, rect.R - 3, rect.B - 1);
  const std::string& text = field.Text();
  const int width = TextWidth(font, text);
  int left = inner.L;
  if (align == ITextStyle::kAlignCenter) left = inner.L + (inner.W() - width) / 2;
  if (align == ITextStyle::kAlignFar) left = inner.R - width;
  const int caretX = TextWidth(font, text.substr(0, size_t(field.Caret())));
  // Scrolled so that the caret is inside the box.
  if (left + caretX > inner.R - 1) left = inner.R - 1 - caretX;
  if (left + caretX < inner.L) left = inner.L - caretX;
  if (field.HasSelection())
  {
    const int from = TextWidth(font, text.substr(0, size_t(field.SelectionStart())));
    const int to = TextWidth(font, text.substr(0, size_t(field.SelectionEnd())));
    Fill(bitmap,
         IRect(std::max(inner.L, left + from), inner.T, std::min(inner.R, left + to), inner.B),
         kHighlight);
  }
  // Drawn per piece so that the selected part is in the highlight colour.
  const int start = field.SelectionStart();
  const int end = field.SelectionEnd();
  const std::string pieces[3] = {text.substr(0, size_t(start)),
                                 text.substr(size_t(start), size_t(end - start)),
                                 text.substr(size_t(end))};
  int x = left;
  for (int i = 0; i < 3; ++i)
  {
    const int pieceWidth = TextWidth(font, pieces[i]);
    Text(bitmap, font, pieces[i], IRect(x, inner.T, x + pieceWidth + 1, inner.B),
         i == 1 ? kHighlightText : textColour);
    x += pieceWidth;
  }
  if (!field.HasSelection())
    Fill(bitmap, IRect(left + caretX, inner.T + 2, left + caretX + 1, inner.B - 2), textColour);
}

void Button(LICE_IBitmap& bitmap, LICE_CachedFont* font, const std::string& label,
            const IRect& rect, bool isDefault)
{
  Fill(bitmap, rect, kFace);
  Frame(bitmap, rect, kEdge);
  if (isDefault) Frame(bitmap, IRect(rect.L + 1, rect.T + 1, rect.R - 1, rect.B - 1), kEdge);
  Text(bitmap, font, label, rect, kText, ITextStyle::kAlignCenter);
}
} // namespace DrawnWidgets
