#pragma once

#include "drawn/text_field.h"
#include "graphics.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

class CriticalSection;
class X11Surface;

// The Linux editor: a child X window inside the host's (the parent window id
// the host passes), the redraw timer's work, and menus, text entry and
// dialogs drawn by the editor itself. Each open window has its own display
// connection, so the editor never shares Xlib state with the host.
//
// Nothing here runs by itself: a driver (X11EditorDriver) calls
// ProcessEvents when the connection has input and OnRedrawTick every period,
// from the host's run loop, the VST2 idle call or a thread of its own, with
// the window lock held. Modal prompts run their own loop and leave that
// lock while they wait.
//
// Threads: whichever thread the driver calls from, one at a time.
class IGraphicsX11 : public IGraphics
{
public:
  // Text-entry states, as the Win32 window numbers them.
  enum EntryState : int
  {
    kEntryNone = 0,
    kEntryEditing = 1,
    kEntryRedrawnWhileEditing = 2,
    kEntryCancel = 3,
    kEntryCommit = 4
  };

  // Answers of ShowMessageDialog, as the window system numbers them.
  enum DialogAnswer : int
  {
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerYes = 6,
    kAnswerNo = 7
  };

  IGraphicsX11(IPlugBase* plug, int width = kDefaultWidth, int height = kDefaultHeight,
               int fps = kDefaultFPS);
  ~IGraphicsX11() override;

  // The module's embedded PNG table, read by LoadResourceBitmap.
  void SetModuleInstance(void* instance) { mModuleInstance = instance; }

  // For drivers.
  int ConnectionFd() const;
  // Handles every event the connection has queued.
  void ProcessEvents();
  // The redraw timer's work: finishes a text entry or redraws what is dirty.
  void OnRedrawTick();
  // Milliseconds of one timer period.
  int TimerPeriodMs() const;
  // While a modal prompt runs, drivers stay out (the prompt drives).
  bool InModalPrompt() const override { return mInModal; }
  // The lock the calling driver holds (once) around its calls, or null.
  void SetDriverLock(CriticalSection* lock) { mDriverLock = lock; }
  // Any thread: while set, modal prompts give up at once (as cancelled).
  void SetModalAbort(bool abort) { mAbortModal = abort; }

  int GetTextEntryState() const { return mEntryState; }
  bool UsesSharedMemory() const;
  Window EditorWindow() const { return mWindow; }

  bool DrawScreen(const IRect& rect) override;
  void CancelTextEntry() override;
  void Resize(int width, int height) override;
  const char* DrawingApiName() override { return "X11"; }
  int ShowMessageDialog(const char* text, const char* caption, int type) override;
  IMenu* ShowPopupMenu(IMenu* menu, const IRect& rect) override;
  void CreateTextEntry(IControl* control, const ITextStyle& text, const IRect& rect,
                       const char* initial, IPlugParam* param) override;
  void AskForFile(std::string& file, int action, std::string& folder,
                  const char* extensions) override;
  bool AskForColor(IRgba& color, const char* prompt) override;
  bool OpenUrl(const char* url, const char* caption, const char* confirmation,
               const char* error) override;
  // parentWindow: the X window id. Null when there is no display or the id is
  // not a window.
  void* OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* WindowHandle() override;
  bool ClipboardText(std::string& text) override;
  void ConcealMouseCursor() override;
  void RevealMouseCursor() override;
  LICE_IBitmap* LoadResourceBitmap(int id, const char* fileName) override;

  // A window of a modal prompt: it gets the events of its window and tells
  // the loop when the prompt is over.
  class ModalClient
  {
  public:
    virtual ~ModalClient() = default;
    virtual bool Owns(Window window) const = 0;
    virtual void HandleEvent(const XEvent& event) = 0;
    virtual bool Done() const = 0;
    // The loop was abandoned (the editor is closing).
    virtual void Abort() = 0;
    // A descriptor the loop also waits on (-1: none), and its readiness.
    virtual int ExtraFd() const { return -1; }
    virtual void OnExtraFdReady() {}
  };

  // Shared with the prompt code (graphics_x11_*.cpp).
  Display* GetDisplay() const { return mDisplay; }
  // The prompts' font, scaled with the editor.
  LICE_CachedFont* PromptFont();
  int PromptScale() const { return mWidth >= 2 * kDefaultWidth ? 2 : 1; }
  // The editor window's origin on the screen.
  void EditorScreenOrigin(int& x, int& y) const;
  void ScreenSize(int& width, int& height) const;
  // Runs until the client is done; false when it was aborted.
  bool RunModal(ModalClient& client);

private:
  struct TextEntry;

  void HandleEvent(XEvent& event);
  void HandleButtonPress(const XButtonEvent& event);
  void HandleButtonRelease(const XButtonEvent& event);
  void HandleMotion(XEvent& event);
  void HandleKeyPress(XKeyEvent& event);
  bool HandleEntryKey(XKeyEvent& event);
  void ForwardKeyToHost(XKeyEvent& event);
  void RedrawDirty();
  void CloseTextEntry(bool commit);
  void DrawTextEntry();
  void WaitForInput(int fdExtra, int timeoutMs, bool& extraReady);
  void DestroyWindowResources();

  void* mModuleInstance = nullptr;
  Display* mDisplay = nullptr;
  Window mWindow = 0;
  Window mParent = 0;
  Visual* mVisual = nullptr;
  int mDepth = 0;
  std::unique_ptr<X11Surface> mSurface;
  Cursor mBlankCursor = 0;
  bool mCaptured = false;
  // The last left press, for double clicks: the server reports none.
  Time mLastPressTime = 0;
  int mLastPressX = -100;
  int mLastPressY = -100;
  bool mLastPressWasDouble = false;

  std::unique_ptr<TextEntry> mEntry;
  int mEntryState = kEntryNone;

  CriticalSection* mDriverLock = nullptr;
  bool mInModal = false;
  std::atomic<bool> mAbortModal{false};
  std::chrono::steady_clock::time_point mNextTick{};
};
