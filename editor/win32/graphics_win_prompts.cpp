#include "win32/graphics_win.h"

#include "file_dialog_filter.h"
#include "popup_menu_numbering.h"
#include "wide_text_win.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

namespace
{
// The file name buffer of the open and save dialogs, in UTF-16 units.
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
      AppendMenuW(native, MF_SEPARATOR, 0, nullptr);
    else if (child >= 0)
      AppendMenuW(native, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildNativeMenu(numbering, child)),
                  WideFromUtf8(label).c_str());
    else
      AppendMenuW(native, NativeItemFlags(item), UINT_PTR(numbering.CommandId(rangeIndex, i)),
                  WideFromUtf8(label).c_str());
  }
  return native;
}

// The filter's NUL-separated lists, NULs and the final one included.
std::wstring WideFilter(const FileDialogFilter& filter)
{
  size_t length = 0;
  while (length + 1 < FileDialogFilter::kFilterCapacity &&
         (filter.filter[length] || filter.filter[length + 1]))
    ++length;
  return WideFromUtf8(std::string(filter.filter, length + 2));
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

  // A proposal too long for the buffer is dropped whole: cut, it could end
  // inside a character or name another file.
  wchar_t fileName[kFileNameCapacity] = {};
  const std::wstring proposal = WideFromUtf8(file);
  if (proposal.size() < kFileNameCapacity) proposal.copy(fileName, proposal.size());
  const FileDialogFilter filter = BuildFileDialogFilter(extensions);
  const std::wstring filterText = filter.HasFilter() ? WideFilter(filter) : std::wstring();
  const std::wstring defaultExtension = WideFromUtf8(filter.defaultExtension);
  const std::wstring initialFolder = WideFromUtf8(folder);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = mPlugWnd;
  dialog.lpstrFilter = filterText.empty() ? nullptr : filterText.c_str();
  dialog.lpstrFile = fileName;
  dialog.nMaxFile = kFileNameCapacity - 1;
  dialog.lpstrInitialDir = initialFolder.c_str();
  dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
  // The dialogs would otherwise leave the host's current folder where the
  // user browsed to.
  dialog.Flags = OFN_NOCHANGEDIR;
  BOOL chosen;
  ModalPromptScope modal(mModalPrompts);
  if (action == kFileSave)
  {
    dialog.Flags |= OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    chosen = GetSaveFileNameW(&dialog);
  }
  else
  {
    dialog.Flags |= OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameW(&dialog);
  }
  if (!chosen)
  {
    file.clear();
    return;
  }
  file = Utf8FromWide(fileName);
  FolderOfPath(file, folder);
}

UINT_PTR CALLBACK IGraphicsWin::ColorHookProc(HWND hWnd, UINT msg, WPARAM, LPARAM lParam)
{
  if (msg == WM_INITDIALOG)
  {
    const auto* dialog = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    const char* prompt = reinterpret_cast<const char*>(dialog->lCustData);
    if (prompt) SetWindowTextW(hWnd, WideFromUtf8(prompt).c_str());
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
  return MessageBoxW(MainWindow(), WideFromUtf8(text ? text : "").c_str(),
                     WideFromUtf8(caption ? caption : "").c_str(), UINT(type));
}

bool IGraphicsWin::OpenUrl(const char* url, const char* caption, const char* confirmation,
                           const char* error)
{
  ModalPromptScope modal(mModalPrompts);
  if (confirmation && MessageBoxW(mPlugWnd, WideFromUtf8(confirmation).c_str(),
                                  WideFromUtf8(caption ? caption : "").c_str(), MB_YESNO) != IDYES)
    return false;
  DWORD connection = 0;
  if (url && InternetGetConnectedState(&connection, 0))
  {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        mPlugWnd, L"open", WideFromUtf8(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
  }
  if (error)
    MessageBoxW(mPlugWnd, WideFromUtf8(error).c_str(), WideFromUtf8(caption ? caption : "").c_str(),
                MB_OK);
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
      text = Utf8FromWide(wide);
      found = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return found;
}
