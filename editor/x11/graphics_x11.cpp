#include "x11/graphics_x11.h"

#include "control.h"
#include "drawn/drawn_widgets.h"
#include "resource_bitmap.h"
#include "x11/x11_errors.h"
#include "x11/x11_field_keys.h"
#include "x11/x11_surface.h"

#include "critical_section.h"
#include "lice_bitmap.h"
#include "lice_blit.h"
#include "plug_base.h"
#include "window_input.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
// What the window system takes as a double click.
constexpr Time kDoubleClickMs = 400;
constexpr int kDoubleClickDistance = 4;
// Characters of the typed text that count, as in the Win32 entry.
constexpr size_t kEntryTextCapacity = 32;

constexpr long kEditorEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                               PointerMotionMask | KeyPressMask | KeyReleaseMask |
                               StructureNotifyMask | FocusChangeMask;

// The Win32 virtual-key code of a key, for the editor's key codes.
int VirtualKeyFromKeysym(KeySym keysym)
{
  switch (keysym)
  {
  case XK_space:
    return 32;
  case XK_Left:
    return 37;
  case XK_Up:
    return 38;
  case XK_Right:
    return 39;
  case XK_Down:
    return 40;
  default:
    break;
  }
  if (keysym >= XK_0 && keysym <= XK_9) return int('0' + (keysym - XK_0));
  // Virtual keys name letters in upper case, whatever the shift state.
  if (keysym >= XK_a && keysym <= XK_z) return int('A' + (keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return int('A' + (keysym - XK_A));
  return -1;
}

IMouseKeys ModifierKeys(unsigned state, bool left, bool right)
{
  return IMouseKeys(left, right, (state & ShiftMask) != 0, (state & ControlMask) != 0,
                    (state & Mod1Mask) != 0);
}
} // namespace

struct IGraphicsX11::TextEntry
{
  IControl* control;
  IPlugParam* param;
  ITextStyle style;
  IRect rect;
  TextField field;
  LICE_SysBitmap screen;
};

IGraphicsX11::IGraphicsX11(IPlugBase* plug, int width, int height, int fps)
    : IGraphics(plug, width, height, fps)
{
}

IGraphicsX11::~IGraphicsX11()
{
  CloseEditorWindow();
}

int IGraphicsX11::ConnectionFd() const
{
  return mDisplay ? ConnectionNumber(mDisplay) : -1;
}

int IGraphicsX11::TimerPeriodMs() const
{
  // A non-positive rate would divide by zero; it runs at the default.
  return int(1000.0 / (mFPS > 0 ? mFPS : kDefaultFPS));
}

void* IGraphicsX11::WindowHandle()
{
  return reinterpret_cast<void*>(uintptr_t(mWindow));
}

bool IGraphicsX11::UsesSharedMemory() const
{
  return mSurface && mSurface->UsesSharedMemory();
}

void* IGraphicsX11::OpenEditorWindow(void* parentWindow)
{
  const Window parent = Window(reinterpret_cast<uintptr_t>(parentWindow));
  int x = 0;
  int y = 0;
  if (mWindow && parent == mParent)
  {
    // Opening again keeps the place the window had.
    XWindowAttributes previous{};
    if (XGetWindowAttributes(mDisplay, mWindow, &previous) && X11Errors::Sync(mDisplay) == 0)
    {
      x = previous.x;
      y = previous.y;
    }
  }
  CloseEditorWindow();
  if (!parent) return nullptr;

  mDisplay = X11Errors::OpenDisplay();
  if (!mDisplay) return nullptr;
  XWindowAttributes parentAttributes{};
  X11Errors::Sync(mDisplay);
  const Status found = XGetWindowAttributes(mDisplay, parent, &parentAttributes);
  if (!found || X11Errors::Sync(mDisplay) != 0)
  {
    // Not a window (or gone already): nothing is created.
    X11Errors::CloseDisplay(mDisplay);
    mDisplay = nullptr;
    return nullptr;
  }
  mParent = parent;
  mVisual = parentAttributes.visual;
  mDepth = parentAttributes.depth;

  XSetWindowAttributes attributes{};
  attributes.event_mask = kEditorEvents;
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.colormap = parentAttributes.colormap;
  mWindow = XCreateWindow(mDisplay, parent, x, y, unsigned(mWidth), unsigned(mHeight), 0, mDepth,
                          InputOutput, mVisual,
                          CWEventMask | CWBackPixmap | CWBorderPixel | CWColormap, &attributes);
  XMapWindow(mDisplay, mWindow);
  if (!mWindow || X11Errors::Sync(mDisplay) != 0)
  {
    DestroyWindowResources();
    return nullptr;
  }
  mSurface = std::make_unique<X11Surface>(mDisplay, mWindow, mVisual, mDepth, mWidth, mHeight);
  mCaptured = false;
  mLastPressTime = 0;
  mNextTick = std::chrono::steady_clock::now();
  // Opening again, the picture is still in the draw bitmap (the controls
  // changed meanwhile are dirty): the window's first expose shows it, with
  // no repaint of the rest.
  if (!DrawnWhole()) SetAllControlsDirty();
  return WindowHandle();
}

void IGraphicsX11::DestroyWindowResources()
{
  mSurface.reset();
  if (mDisplay)
  {
    if (mBlankCursor) XFreeCursor(mDisplay, mBlankCursor);
    // The host may have destroyed the parent, and with it this window: the
    // error that follows is only counted.
    if (mWindow) XDestroyWindow(mDisplay, mWindow);
    X11Errors::CloseDisplay(mDisplay);
  }
  mBlankCursor = 0;
  mDisplay = nullptr;
  mWindow = 0;
  mParent = 0;
  mCursorHidden = false;
  mCaptured = false;
}

void IGraphicsX11::CloseEditorWindow()
{
  if (!mDisplay) return;
  mEntry.reset();
  mEntryState = kEntryNone;
  DestroyWindowResources();
}

bool IGraphicsX11::DrawScreen(const IRect& rect)
{
  if (!mSurface || !mDrawBitmap) return false;
  if (!mEntry)
  {
    mSurface->Put(*mDrawBitmap, rect);
    return true;
  }
  // The entry box stays on top of what is drawn beneath it.
  LICE_SysBitmap& screen = mEntry->screen;
  if (screen.Width() != mWidth || screen.Height() != mHeight) screen.Resize(mWidth, mHeight);
  const LICE_Rect source{rect.L, rect.T, rect.R, rect.B};
  LICE_CopyArea(&screen, mDrawBitmap.get(), rect.L, rect.T, &source, 1.0f, LICE_BlendCopy);
  DrawTextEntry();
  mSurface->Put(screen, rect.Union(mEntry->rect));
  return true;
}

void IGraphicsX11::ProcessEvents()
{
  if (!mDisplay || mInModal) return;
  while (mDisplay && XPending(mDisplay))
  {
    XEvent event;
    XNextEvent(mDisplay, &event);
    HandleEvent(event);
  }
}

void IGraphicsX11::HandleEvent(XEvent& event)
{
  if (event.xany.window != mWindow) return;
  switch (event.type)
  {
  case Expose:
    DrawScreen(IRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                     event.xexpose.y + event.xexpose.height));
    break;
  case ButtonPress:
    HandleButtonPress(event.xbutton);
    break;
  case ButtonRelease:
    HandleButtonRelease(event.xbutton);
    break;
  case MotionNotify:
    HandleMotion(event);
    break;
  case KeyPress:
    HandleKeyPress(event.xkey);
    break;
  case KeyRelease:
    if (!mEntry) ForwardKeyToHost(event.xkey);
    break;
  case FocusOut:
    // Grabs by the editor's own prompts move the focus only for a while.
    if (mEntry && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyPointer &&
        event.xfocus.detail != NotifyInferior)
      mEntryState = kEntryCommit;
    break;
  case DestroyNotify:
    // Gone with the host's parent: only forgotten.
    if (event.xdestroywindow.window == mWindow)
    {
      mSurface.reset();
      mWindow = 0;
    }
    break;
  default:
    break;
  }
}

void IGraphicsX11::HandleButtonPress(const XButtonEvent& event)
{
  const int x = event.x;
  const int y = event.y;
  if (event.button == Button4 || event.button == Button5)
  {
    if (mEntry)
    {
      mEntryState = kEntryCancel;
      return;
    }
    IMouseKeys mods = ModifierKeys(event.state, (event.state & Button1Mask) != 0,
                                   (event.state & Button3Mask) != 0);
    OnMouseWheel(x, y, &mods, event.button == Button4 ? 1 : -1);
    return;
  }
  if (event.button > Button3) return;
  if (mEntry)
  {
    if (mEntry->rect.Contains(x, y)) return;
    if (event.button != Button2 && mEntryState == kEntryEditing)
      mEntryState = kEntryCancel;
    else
      mEntryState = kEntryCommit;
    return;
  }
  const bool left = event.button == Button1 || (event.state & Button1Mask);
  const bool right = event.button == Button3 || (event.state & Button3Mask);
  IMouseKeys mods = ModifierKeys(event.state, left, right);
  // The server reports no double clicks: a second left press soon after the
  // first, close to it, is one (as the Win32 window class reports it).
  const bool isDouble = event.button == Button1 && !mLastPressWasDouble &&
                        event.time - mLastPressTime <= kDoubleClickMs &&
                        std::abs(x - mLastPressX) <= kDoubleClickDistance &&
                        std::abs(y - mLastPressY) <= kDoubleClickDistance;
  if (event.button == Button1)
  {
    mLastPressTime = event.time;
    mLastPressX = x;
    mLastPressY = y;
    mLastPressWasDouble = isDouble;
  }
  XSetInputFocus(mDisplay, mWindow, RevertToParent, event.time);
  if (isDouble)
  {
    if (OnMouseDblClick(x, y, &mods)) mCaptured = true;
    return;
  }
  mCaptured = true;
  OnMouseDown(x, y, &mods);
}

void IGraphicsX11::HandleButtonRelease(const XButtonEvent& event)
{
  if (event.button != Button1 && event.button != Button3) return;
  mCaptured = false;
  IMouseKeys mods =
      ModifierKeys(event.state, event.button != Button1 && (event.state & Button1Mask) != 0,
                   event.button != Button3 && (event.state & Button3Mask) != 0);
  OnMouseUp(event.x, event.y, &mods);
}

void IGraphicsX11::HandleMotion(XEvent& event)
{
  // Only the latest position of a burst counts.
  while (XCheckTypedWindowEvent(mDisplay, mWindow, MotionNotify, &event))
  {
  }
  const XMotionEvent& motion = event.xmotion;
  const bool left = (motion.state & Button1Mask) != 0;
  const bool right = (motion.state & Button3Mask) != 0;
  IMouseKeys mods = ModifierKeys(motion.state, left, right);
  if (left || right)
  {
    if (mCaptured && !mEntry) OnMouseDrag(motion.x, motion.y, &mods);
    return;
  }
  OnMouseOver(motion.x, motion.y, &mods);
}

void IGraphicsX11::HandleKeyPress(XKeyEvent& event)
{
  if (mEntry)
  {
    HandleEntryKey(event);
    return;
  }
  const KeySym keysym = XLookupKeysym(&event, 0);
  const int key = KeyCodeFromVirtualKey(VirtualKeyFromKeysym(keysym));
  if (key >= 0 && OnKeyDown(event.x, event.y, key)) return;
  ForwardKeyToHost(event);
}

void IGraphicsX11::ForwardKeyToHost(XKeyEvent& event)
{
  // Host shortcuts keep working while the editor has the focus.
  XEvent forwarded;
  forwarded.xkey = event;
  forwarded.xkey.window = mParent;
  XSendEvent(mDisplay, mParent, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask,
             &forwarded);
  XFlush(mDisplay);
}

void IGraphicsX11::OnRedrawTick()
{
  if (!mDisplay || mInModal) return;
  // The timer runs without the instance lock: where the host hears of the
  // plug-in's own changes.
  if (mPlug) mPlug->SendPendingHostNotifications();
  mNextTick = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimerPeriodMs());
  if (mEntry && mEntryState != kEntryNone)
  {
    if (mEntryState == kEntryCancel || mEntryState == kEntryCommit)
      CloseTextEntry(mEntryState == kEntryCommit);
    else
      mEntryState = kEntryNone;
    return;
  }
  RedrawDirty();
}

void IGraphicsX11::RedrawDirty()
{
  if (!mWindow) return;
  IRect dirty;
  if (!IsDirty(dirty)) return;
  Draw(dirty);
  if (mEntry) mEntryState = kEntryRedrawnWhileEditing;
}

void IGraphicsX11::Resize(int width, int height)
{
  if (width == mWidth && height == mHeight) return;
  // The entry's control is deleted with the others.
  mEntry.reset();
  mEntryState = kEntryNone;
  IGraphics::Resize(width, height);
  if (!mWindow) return;
  XResizeWindow(mDisplay, mWindow, unsigned(width), unsigned(height));
  mSurface = std::make_unique<X11Surface>(mDisplay, mWindow, mVisual, mDepth, width, height);
  SetAllControlsDirty();
  X11Errors::Sync(mDisplay);
}

void IGraphicsX11::ConcealMouseCursor()
{
  if (mCursorHidden || !mWindow) return;
  Window root;
  Window child;
  int rootX = 0;
  int rootY = 0;
  int windowX = 0;
  int windowY = 0;
  unsigned mask = 0;
  XQueryPointer(mDisplay, mWindow, &root, &child, &rootX, &rootY, &windowX, &windowY, &mask);
  mHiddenMousePointX = rootX;
  mHiddenMousePointY = rootY;
  if (!mBlankCursor)
  {
    static const char kNoBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(mDisplay, mWindow, kNoBits, 1, 1);
    XColor black{};
    mBlankCursor = XCreatePixmapCursor(mDisplay, empty, empty, &black, &black, 0, 0);
    XFreePixmap(mDisplay, empty);
  }
  XDefineCursor(mDisplay, mWindow, mBlankCursor);
  XFlush(mDisplay);
  mCursorHidden = true;
}

void IGraphicsX11::RevealMouseCursor()
{
  if (!mCursorHidden || !mWindow) return;
  XWarpPointer(mDisplay, None, DefaultRootWindow(mDisplay), 0, 0, 0, 0, mHiddenMousePointX,
               mHiddenMousePointY);
  XUndefineCursor(mDisplay, mWindow);
  // The pointer is back before the caller goes on.
  XSync(mDisplay, False);
  mCursorHidden = false;
}

LICE_IBitmap* IGraphicsX11::LoadResourceBitmap(int id, const char* fileName)
{
  return LoadPngResourceBitmap(mModuleInstance, id, fileName);
}

bool IGraphicsX11::ClipboardText(std::string& text)
{
  // Reading the selection needs a conversion round trip with its owner; the
  // editor of this instrument never asks.
  text.clear();
  return false;
}

// Text entry: a field drawn over the control, fed by the editor's keys.

void IGraphicsX11::CreateTextEntry(IControl* control, const ITextStyle& text, const IRect& rect,
                                   const char* initial, IPlugParam* param)
{
  if (!control || mEntry || !mWindow) return;
  mEntry.reset(new TextEntry{control, param, text, IRect(rect.L, rect.T, rect.R + 1, rect.B + 1),
                             TextField(initial ? initial : "", control->GetTextEntryLength()),
                             LICE_SysBitmap()});
  mEntry->style.mCached = nullptr;
  mEntryState = kEntryEditing;
  XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
  DrawScreen(mEntry->rect);
}

void IGraphicsX11::CancelTextEntry()
{
  if (mEntry) mEntryState = kEntryCancel;
}

void IGraphicsX11::CloseTextEntry(bool commit)
{
  std::unique_ptr<TextEntry> entry = std::move(mEntry);
  mEntryState = kEntryNone;
  if (!entry) return;
  if (commit)
    CommitTextEntry(entry->control, entry->param,
                    entry->field.Text().substr(0, kEntryTextCapacity).c_str());
  DrawScreen(entry->rect);
}

void IGraphicsX11::DrawTextEntry()
{
  TextEntry& entry = *mEntry;
  const ITextStyle& style = entry.style;
  const LICE_pixel face = LICE_Rgba(style.mTextEntryBGColor.R, style.mTextEntryBGColor.G,
                                    style.mTextEntryBGColor.B, 255);
  const LICE_pixel ink = LICE_Rgba(style.mTextEntryFGColor.R, style.mTextEntryFGColor.G,
                                   style.mTextEntryFGColor.B, 255);
  DrawnWidgets::Field(entry.screen, CacheFont(&entry.style), entry.field, entry.rect, face, ink,
                      style.mAlign);
}

bool IGraphicsX11::HandleEntryKey(XKeyEvent& event)
{
  switch (ApplyKeyToField(mEntry->field, event, mEntry->param))
  {
  case FieldKey::kEnter:
    mEntryState = kEntryCommit;
    return true;
  case FieldKey::kEscape:
    mEntryState = kEntryCancel;
    return true;
  case FieldKey::kEdited:
    DrawScreen(mEntry->rect);
    return true;
  case FieldKey::kUnhandled:
    return false;
  }
  return false;
}

// The modal loop of the drawn prompts.

void IGraphicsX11::WaitForInput(int fdExtra, int timeoutMs, bool& extraReady)
{
  pollfd fds[2] = {{ConnectionFd(), POLLIN, 0}, {fdExtra, POLLIN, 0}};
  // The window lock is left while nothing happens, so a closing host never
  // waits for a prompt.
  if (mDriverLock) mDriverLock->Leave();
  poll(fds, fdExtra >= 0 ? 2 : 1, timeoutMs);
  if (mDriverLock) mDriverLock->Enter();
  extraReady = fdExtra >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

bool IGraphicsX11::RunModal(ModalClient& client)
{
  if (!mDisplay) return false;
  mInModal = true;
  bool finished = true;
  XFlush(mDisplay);
  while (!client.Done())
  {
    if (mAbortModal)
    {
      client.Abort();
      finished = false;
      break;
    }
    while (!client.Done() && XPending(mDisplay))
    {
      XEvent event;
      XNextEvent(mDisplay, &event);
      if (client.Owns(event.xany.window))
        client.HandleEvent(event);
      else if (event.xany.window == mWindow && event.type == Expose)
        HandleEvent(event);
    }
    if (client.Done()) break;
    // The editor keeps repainting what changes meanwhile.
    const auto now = std::chrono::steady_clock::now();
    if (now >= mNextTick)
    {
      mNextTick = now + std::chrono::milliseconds(TimerPeriodMs());
      RedrawDirty();
    }
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(mNextTick - now).count();
    bool extraReady = false;
    WaitForInput(client.ExtraFd(), int(std::clamp<long long>(wait, 0, TimerPeriodMs())),
                 extraReady);
    if (extraReady) client.OnExtraFdReady();
  }
  mInModal = false;
  XFlush(mDisplay);
  return finished;
}

LICE_CachedFont* IGraphicsX11::PromptFont()
{
  ITextStyle style;
  std::snprintf(style.mFont, sizeof(style.mFont), "%s", "Arial");
  style.mSize = 14 * PromptScale();
  return CacheFont(&style);
}

void IGraphicsX11::EditorScreenOrigin(int& x, int& y) const
{
  x = 0;
  y = 0;
  Window child;
  if (mWindow)
    XTranslateCoordinates(mDisplay, mWindow, DefaultRootWindow(mDisplay), 0, 0, &x, &y, &child);
}

void IGraphicsX11::ScreenSize(int& width, int& height) const
{
  width = mDisplay ? DisplayWidth(mDisplay, DefaultScreen(mDisplay)) : 0;
  height = mDisplay ? DisplayHeight(mDisplay, DefaultScreen(mDisplay)) : 0;
}
