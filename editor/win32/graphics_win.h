#pragma once

#include "graphics.h"

#include <windows.h>
// The window system's macro would rename IGraphics::DrawText.
#undef DrawText

#include <memory>
#include <string>

// The Win32 editor: a child window inside the host's, a redraw timer, and
// the platform's menus, dialogs and text entry.
//
// Threads: the host's user-interface thread (the window's thread) only.
class IGraphicsWin : public IGraphics
{
public:
  // Text-entry states.
  enum EntryState : int
  {
    kEntryNone = 0,
    kEntryEditing = 1,
    kEntryRedrawnWhileEditing = 2,
    kEntryCancel = 3,
    kEntryCommit = 4
  };

  static constexpr const char* kWindowClassName = "IPlugWndClass";
  static constexpr UINT_PTR kRedrawTimerId = 2;
  static constexpr int kTextEntryId = 99;

  IGraphicsWin(IPlugBase* plug, int width = kDefaultWidth, int height = kDefaultHeight,
               int fps = kDefaultFPS);
  ~IGraphicsWin() override;

  // The module whose resources are read and on which the class is registered.
  void SetHInstance(HINSTANCE instance) { mHInstance = instance; }
  HINSTANCE GetHInstance() const { return mHInstance; }

  // The top-level window that owns message boxes.
  HWND MainWindow();
  void SetTooltipText(const char* text);

  // The number of editor windows open in the process.
  static int OpenWindowCount();
  int GetTextEntryState() const { return mTextEntryState; }
  HWND GetTextEntryWindow() const { return mParamEditWnd; }

  bool DrawScreen(const IRect& rect) override;
  void CancelTextEntry() override;
  void Resize(int width, int height) override;
  const char* DrawingApiName() override { return "Windows GDI"; }
  int ShowMessageDialog(const char* text, const char* caption, int type) override;
  IMenu* ShowPopupMenu(IMenu* menu, const IRect& rect) override;
  void CreateTextEntry(IControl* control, const ITextStyle& text, const IRect& rect,
                       const char* initial, IPlugParam* param) override;
  void AskForFile(std::string& file, int action, std::string& folder,
                  const char* extensions) override;
  bool AskForColor(IRgba& color, const char* prompt) override;
  bool OpenUrl(const char* url, const char* caption, const char* confirmation,
               const char* error) override;
  void* OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* WindowHandle() override { return mPlugWnd; }
  bool ClipboardText(std::string& text) override;
  void ConcealMouseCursor() override;
  void RevealMouseCursor() override;
  LICE_IBitmap* LoadResourceBitmap(int id, const char* fileName) override;
  bool InModalPrompt() const override { return mModalPrompts > 0; }

private:
  static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ParamEditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static UINT_PTR CALLBACK ColorHookProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

  LRESULT HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnRedrawTick();
  void CloseTextEntry(bool commit);
  void DestroyTextEntry();
  void HideTooltip();
  void CreateTooltip();
  void ShowTooltip();
  LRESULT ForwardKeyToHost(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HINSTANCE mHInstance = nullptr;
  HWND mPlugWnd = nullptr;
  HWND mParamEditWnd = nullptr;
  HWND mTooltipWnd = nullptr;
  IControl* mEdControl = nullptr;
  IPlugParam* mEdParam = nullptr;
  WNDPROC mDefEditProc = nullptr;
  int mTextEntryState = kEntryNone;
  // Modal menus and dialogs running (they run the message loop, so the host
  // can call in meanwhile).
  int mModalPrompts = 0;
  bool mShowingTooltip = false;
  int mTooltipIdx = -1;
  // The colour dialog's 16 custom colours, kept from its first use on.
  std::unique_ptr<COLORREF[]> mCustomColors;
  HWND mParentWnd = nullptr;
  HWND mMainWnd = nullptr;
  std::string mMainWndClassName;
  // The text entry's font; released with the entry.
  HFONT mEditFont = nullptr;
};
