#include "graphics_win.h"

#include "file_dialog_filter.h"
#include "popup_menu_numbering.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstring>

namespace
{
// The file name buffer of the open and save dialogs.
constexpr DWORD kFileNameCapacity = 256;
constexpr int kCustomColorCount = 16;

UINT NativeItemFlags(const IMenuItem& item)
{
  UINT flags = MF_STRING;
  if (item.HasFlag(IMenuItem::kGrayed)) flags |= MF_GRAYED;
  if (item.HasFlag(IMenuItem::kDisabled)) flags |= MF_DISABLED;
  if (item.HasFlag(IMenuItem::kChecked)) flags |= MF_CHECKED;
  return flags;
}

HMENU BuildNativeMenu(const PopupMenuNumbering& numbering, int rangeIndex)
{
  const PopupMenuNumbering::Range& range = numbering.Ranges()[size_t(rangeIndex)];
  HMENU native = CreatePopupMenu();
  for (int i = 0; i < range.menu->NItems(); ++i)
  {
    const IMenuItem& item = *range.menu->GetItem(i);
    const std::string label = range.menu->ItemLabel(i);
    const int child = range.childRange[size_t(i)];
    if (item.HasFlag(IMenuItem::kSeparator))
      AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
    else if (child >= 0)
      AppendMenuA(native, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildNativeMenu(numbering, child)),
                  label.c_str());
    else
      AppendMenuA(native, NativeItemFlags(item), UINT_PTR(numbering.CommandId(rangeIndex, i)),
                  label.c_str());
  }
  return native;
}
// Counts a modal prompt for as long as it runs.
class ModalPromptScope
{
public:
  explicit ModalPromptScope(int& count) : mCount(count) { ++mCount; }
  ~ModalPromptScope() { --mCount; }
  ModalPromptScope(const ModalPromptScope&) = delete;
  ModalPromptScope& operator=(const ModalPromptScope&) = delete;

private:
  int& mCount;
};
} // namespace

IMenu* IGraphicsWin::ShowPopupMenu(IMenu* menu, const IRect& rect)
{
  // The menu takes the button release.
  ClearMouseCapture();
  if (!menu) return nullptr;
  const PopupMenuNumbering numbering(*menu);
  numbering.ClearChosenItems();
  if (!mPlugWnd) return nullptr;

  HMENU native = BuildNativeMenu(numbering, 0);
  POINT corner{rect.L, rect.B};
  ClientToScreen(mPlugWnd, &corner);
  IMenu* chosen = nullptr;
  ModalPromptScope modal(mModalPrompts);
  if (TrackPopupMenu(native, TPM_LEFTBUTTON, corner.x, corner.y, 0, mPlugWnd, nullptr))
  {
    MSG message;
    if (PeekMessageA(&message, mPlugWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
        HIWORD(message.wParam) == 0)
      chosen = numbering.Resolve(int(LOWORD(message.wParam)));
  }
  DestroyMenu(native);
  InvalidateRect(mPlugWnd, nullptr, FALSE);
  return chosen;
}

void IGraphicsWin::AskForFile(std::string& file, int action, std::string& folder,
                              const char* extensions)
{
  if (!mPlugWnd)
  {
    file.clear();
    return;
  }
  if (folder.empty()) DesktopFolder(folder);

  char fileName[kFileNameCapacity] = {};
  std::strncpy(fileName, file.c_str(), kFileNameCapacity - 1);
  const FileDialogFilter filter = BuildFileDialogFilter(extensions);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = mPlugWnd;
  dialog.lpstrFilter = filter.HasFilter() ? filter.filter : nullptr;
  dialog.lpstrFile = fileName;
  dialog.nMaxFile = kFileNameCapacity - 1;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrDefExt = filter.defaultExtension[0] ? filter.defaultExtension : nullptr;
  BOOL chosen;
  ModalPromptScope modal(mModalPrompts);
  if (action == kFileSave)
  {
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    chosen = GetSaveFileNameA(&dialog);
  }
  else
  {
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameA(&dialog);
  }
  if (!chosen)
  {
    file.clear();
    return;
  }
  FolderOfPath(fileName, folder);
  file = fileName;
}

UINT_PTR CALLBACK IGraphicsWin::ColorHookProc(HWND hWnd, UINT msg, WPARAM, LPARAM lParam)
{
  if (msg == WM_INITDIALOG)
  {
    const auto* dialog = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    const char* prompt = reinterpret_cast<const char*>(dialog->lCustData);
    if (prompt) SetWindowTextA(hWnd, prompt);
  }
  return 0;
}

bool IGraphicsWin::AskForColor(IRgba& color, const char* prompt)
{
  if (!mPlugWnd) return false;
  if (!mCustomColors) mCustomColors = std::make_unique<COLORREF[]>(kCustomColorCount);
  CHOOSECOLORA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = mPlugWnd;
  dialog.rgbResult = RGB(color.R, color.G, color.B);
  dialog.lpCustColors = mCustomColors.get();
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  dialog.lCustData = reinterpret_cast<LPARAM>(prompt);
  dialog.lpfnHook = ColorHookProc;
  ModalPromptScope modal(mModalPrompts);
  if (!ChooseColorA(&dialog)) return false;
  color.R = GetRValue(dialog.rgbResult);
  color.G = GetGValue(dialog.rgbResult);
  color.B = GetBValue(dialog.rgbResult);
  return true;
}

int IGraphicsWin::ShowMessageDialog(const char* text, const char* caption, int type)
{
  ModalPromptScope modal(mModalPrompts);
  return MessageBoxA(MainWindow(), text, caption, UINT(type));
}

bool IGraphicsWin::OpenUrl(const char* url, const char* caption, const char* confirmation,
                           const char* error)
{
  ModalPromptScope modal(mModalPrompts);
  if (confirmation && MessageBoxA(mPlugWnd, confirmation, caption, MB_YESNO) != IDYES) return false;
  DWORD connection = 0;
  if (url && InternetGetConnectedState(&connection, 0))
  {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(mPlugWnd, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
  }
  if (error) MessageBoxA(mPlugWnd, error, caption, MB_OK);
  return false;
}

bool IGraphicsWin::ClipboardText(std::string& text)
{
  text.clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(mPlugWnd)) return false;
  bool found = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
  {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data)))
    {
      const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
      if (bytes > 0)
      {
        std::string utf8(size_t(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], bytes, nullptr, nullptr);
        utf8.resize(size_t(bytes - 1));
        text = utf8;
        found = true;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return found;
}
