#pragma once

#include <string>

class IPlugParam;

// The editing state of a drawn single-line text field: its text, the caret
// and the selection (between the anchor and the caret). Printable ASCII only;
// the length limit cuts what is typed, never what is already there.
class TextField
{
public:
  // Starts with text, all of it selected, as an entry box opens.
  explicit TextField(std::string text = std::string(), int maxLength = -1);

  const std::string& Text() const { return mText; }
  int Caret() const { return mCaret; }
  int SelectionStart() const { return mAnchor < mCaret ? mAnchor : mCaret; }
  int SelectionEnd() const { return mAnchor < mCaret ? mCaret : mAnchor; }
  bool HasSelection() const { return mAnchor != mCaret; }

  void SetText(std::string text);
  // Replaces the selection by the printable characters of typed.
  void Insert(const std::string& typed);
  void Backspace();
  void Delete();
  // extend keeps the anchor, so the selection grows or shrinks.
  void MoveCaret(int delta, bool extend);
  void MoveCaretTo(int position, bool extend);
  void SelectAll();

private:
  bool EraseSelection();

  std::string mText;
  int mMaxLength;
  int mCaret = 0;
  int mAnchor = 0;
};

// Whether a value entry for param takes the character: numbers only (and a
// point for fractional parameters); anything goes for other types.
bool CharacterAllowedForParam(const IPlugParam& param, int character);
