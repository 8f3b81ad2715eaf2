#include "win32/graphics_win.h"

#include "control.h"
#include "drawn/text_field.h"

#include "plug_param.h"

namespace
{
// Marks the entry window as the editor's own.
constexpr LONG_PTR kEntryWindowMark = LONG_PTR(0xdeadf00b);
// Characters of the typed text that count.
constexpr int kEntryTextCapacity = 33;
} // namespace

void IGraphicsWin::CreateTextEntry(IControl* control, const ITextStyle& text, const IRect& rect,
                                   const char* initial, IPlugParam* param)
{
  if (!control || mParamEditWnd || !mPlugWnd) return;

  DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL;
  if (text.mAlign == ITextStyle::kAlignCenter) style |= ES_CENTER;
  if (text.mAlign == ITextStyle::kAlignFar) style |= ES_RIGHT;
  mParamEditWnd = CreateWindowExA(
      0, "EDIT", initial ? initial : "", style, rect.L, rect.T, rect.W() + 1, rect.H() + 1,
      mPlugWnd, reinterpret_cast<HMENU>(INT_PTR(kTextEntryId)), mHInstance, nullptr);
  if (!mParamEditWnd) return;
  mEdControl = control;
  mEdParam = param;

  mEditFont = CreateFontA(text.mSize, 0, 0, 0, text.mStyle == ITextStyle::kStyleBold ? FW_BOLD : 0,
                          text.mStyle == ITextStyle::kStyleItalic, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                          text.mFont);
  SendMessageA(mParamEditWnd, WM_SETFONT, reinterpret_cast<WPARAM>(mEditFont), 0);
  SendMessageA(mParamEditWnd, EM_LIMITTEXT, WPARAM(control->GetTextEntryLength()), 0);
  SendMessageA(mParamEditWnd, EM_SETSEL, 0, -1);
  SetFocus(mParamEditWnd);
  mDefEditProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(mParamEditWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParamEditProc)));
  SetWindowLongPtrA(mParamEditWnd, GWLP_USERDATA, kEntryWindowMark);
}

void IGraphicsWin::CancelTextEntry()
{
  mTextEntryState = kEntryCancel;
}

void IGraphicsWin::CloseTextEntry(bool commit)
{
  if (commit && mParamEditWnd)
  {
    char typed[kEntryTextCapacity] = {};
    SendMessageA(mParamEditWnd, WM_GETTEXT, kEntryTextCapacity, reinterpret_cast<LPARAM>(typed));
    CommitTextEntry(mEdControl, mEdParam, typed);
  }
  DestroyTextEntry();
}

void IGraphicsWin::DestroyTextEntry()
{
  if (mParamEditWnd)
  {
    if (mDefEditProc)
      SetWindowLongPtrA(mParamEditWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mDefEditProc));
    DestroyWindow(mParamEditWnd);
  }
  if (mEditFont) DeleteObject(mEditFont);
  mEditFont = nullptr;
  mParamEditWnd = nullptr;
  mEdControl = nullptr;
  mEdParam = nullptr;
  mDefEditProc = nullptr;
  mTextEntryState = kEntryNone;
}

LRESULT CALLBACK IGraphicsWin::ParamEditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* graphics =
      reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(hWnd), GWLP_USERDATA));
  if (!graphics || graphics->mParamEditWnd != hWnd || !graphics->mDefEditProc)
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  graphics->HideTooltip();

  switch (msg)
  {
  case WM_SETFOCUS:
    graphics->mTextEntryState = kEntryEditing;
    break;
  case WM_KILLFOCUS:
    graphics->mTextEntryState = kEntryCommit;
    break;
  case WM_GETDLGCODE:
  {
    LRESULT code = CallWindowProcA(graphics->mDefEditProc, hWnd, msg, wParam, lParam);
    const auto* queried = reinterpret_cast<const MSG*>(lParam);
    // A free-text entry takes Enter itself instead of letting a dialog
    // host treat it as its default button.
    if (!graphics->mEdParam && queried && queried->message == WM_KEYDOWN &&
        queried->wParam == VK_RETURN)
      code |= DLGC_WANTALLKEYS;
    return code;
  }
  case WM_KEYDOWN:
    if (wParam == VK_RETURN)
    {
      graphics->mTextEntryState = kEntryCommit;
      return 0;
    }
    if (wParam == VK_ESCAPE)
    {
      graphics->mTextEntryState = kEntryCancel;
      return 0;
    }
    break;
  case WM_CHAR:
    if (graphics->mEdParam && wParam != VK_BACK &&
        !CharacterAllowedForParam(*graphics->mEdParam, int(wParam)))
      return 0;
    break;
  case WM_COMMAND:
    if (HIWORD(wParam) == 1)
    {
      graphics->mTextEntryState = kEntryCommit;
      return 0;
    }
    break;
  default:
    break;
  }
  return CallWindowProcA(graphics->mDefEditProc, hWnd, msg, wParam, lParam);
}
