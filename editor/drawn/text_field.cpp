#include "drawn/text_field.h"

#include "plug_param.h"

#include <algorithm>

TextField::TextField(std::string text, int maxLength) : mMaxLength(maxLength)
{
  SetText(std::move(text));
}

void TextField::SetText(std::string text)
{
  mText = std::move(text);
  SelectAll();
}

void TextField::SelectAll()
{
  mAnchor = 0;
  mCaret = int(mText.size());
}

bool TextField::EraseSelection()
{
  if (!HasSelection()) return false;
  const int start = SelectionStart();
  mText.erase(size_t(start), size_t(SelectionEnd() - start));
  mCaret = mAnchor = start;
  return true;
}

void TextField::Insert(const std::string& typed)
{
  EraseSelection();
  for (const char c : typed)
  {
    if (c < 32 || c > 126) continue;
    if (mMaxLength >= 0 && int(mText.size()) >= mMaxLength) break;
    mText.insert(size_t(mCaret), 1, c);
    ++mCaret;
  }
  mAnchor = mCaret;
}

void TextField::Backspace()
{
  if (EraseSelection() || mCaret == 0) return;
  mText.erase(size_t(--mCaret), 1);
  mAnchor = mCaret;
}

void TextField::Delete()
{
  if (EraseSelection() || mCaret >= int(mText.size())) return;
  mText.erase(size_t(mCaret), 1);
}

void TextField::MoveCaret(int delta, bool extend)
{
  // Without extending, an arrow first collapses the selection to its edge.
  if (!extend && HasSelection() && delta != 0)
  {
    MoveCaretTo(delta < 0 ? SelectionStart() : SelectionEnd(), false);
    return;
  }
  MoveCaretTo(mCaret + delta, extend);
}

void TextField::MoveCaretTo(int position, bool extend)
{
  mCaret = std::clamp(position, 0, int(mText.size()));
  if (!extend) mAnchor = mCaret;
}

bool CharacterAllowedForParam(const IPlugParam& param, int character)
{
  const bool sign = character == '+' || character == '-';
  const bool digit = character >= '0' && character <= '9';
  switch (param.Type())
  {
  case TypeBool:
  case TypeInt:
  case TypeEnum:
    return sign || digit;
  case TypeDouble:
    return sign || digit || character == '.';
  default:
    return true;
  }
}
