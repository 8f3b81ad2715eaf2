#include "win32/graphics_win.h"

#include "control.h"
#include "resource_bitmap.h"
#include "window_input.h"

#include "lice_bitmap.h"
#include "plug_base.h"

#include <commctrl.h>

namespace
{
// Touched on the user-interface thread only.
int sOpenWindows = 0;
// The frames per second of the window being created, read by its creation
// message.
int sCreatingFPS = IGraphics::kDefaultFPS;

IMouseKeys MouseKeys(WPARAM wParam)
{
  return MouseKeysFromKeyState(uint32_t(LOWORD(wParam)), GetKeyState(VK_MENU) < 0);
}

bool IsChildWindow(HWND window)
{
  return window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0;
}

void GrowWindow(HWND window, int dw, int dh)
{
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

struct MainWindowSearch
{
  DWORD processId;
  const std::string* className;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam)
{
  auto* search = reinterpret_cast<MainWindowSearch*>(lParam);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId) return TRUE;
  char className[256] = {};
  GetClassNameA(window, className, int(sizeof(className)));
  if (*search->className != className) return TRUE;
  search->found = window;
  return FALSE;
}
} // namespace

IGraphicsWin::IGraphicsWin(IPlugBase* plug, int width, int height, int fps)
    : IGraphics(plug, width, height, fps)
{
}

IGraphicsWin::~IGraphicsWin()
{
  CloseEditorWindow();
}

int IGraphicsWin::OpenWindowCount()
{
  return sOpenWindows;
}

void* IGraphicsWin::OpenEditorWindow(void* parentWindow)
{
  mParentWnd = static_cast<HWND>(parentWindow);
  int x = 0;
  int y = 0;
  int w = mWidth;
  int h = mHeight;
  RECT windowRect{};
  // A window the host destroyed along with its parent has no geometry to
  // keep; it is only forgotten.
  if (mPlugWnd && GetWindowRect(mPlugWnd, &windowRect))
  {
    w = windowRect.right - windowRect.left;
    h = windowRect.bottom - windowRect.top;
    // Child positions are in the parent's client coordinates: measured from
    // its window rectangle, a parent with a frame would move the editor on
    // every reopening.
    MapWindowPoints(nullptr, mParentWnd, reinterpret_cast<POINT*>(&windowRect), 2);
    x = windowRect.left;
    y = windowRect.top;
  }
  CloseEditorWindow();

  if (sOpenWindows++ == 0)
  {
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = mHInstance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kWindowClassName;
    RegisterClassA(&windowClass);
  }

  sCreatingFPS = mFPS;
  mPlugWnd = CreateWindowExA(0, kWindowClassName, "IPlug", WS_CHILD | WS_VISIBLE, x, y, w, h,
                             mParentWnd, nullptr, mHInstance, this);
  if (!mPlugWnd && --sOpenWindows == 0)
  {
    UnregisterClassA(kWindowClassName, mHInstance);
    return nullptr;
  }
  SetAllControlsDirty();
  if (mPlugWnd && mEnableTooltips) CreateTooltip();
  return mPlugWnd;
}

void IGraphicsWin::CloseEditorWindow()
{
  if (!mPlugWnd) return;
  DestroyTextEntry();
  if (mTooltipWnd)
  {
    DestroyWindow(mTooltipWnd);
    mTooltipWnd = nullptr;
  }
  mShowingTooltip = false;
  mTooltipIdx = -1;
  HWND window = mPlugWnd;
  mPlugWnd = nullptr;
  // Messages sent while the window goes away must not reach this object.
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  if (--sOpenWindows == 0) UnregisterClassA(kWindowClassName, mHInstance);
}

void IGraphicsWin::CreateTooltip()
{
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_BAR_CLASSES;
  if (!InitCommonControlsEx(&controls))
  {
    mEnableTooltips = false;
    return;
  }
  mTooltipWnd = CreateWindowExA(
      0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mPlugWnd, nullptr, mHInstance, nullptr);
  if (!mTooltipWnd)
  {
    mEnableTooltips = false;
    return;
  }
  SetWindowPos(mTooltipWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = mPlugWnd;
  tool.uId = reinterpret_cast<UINT_PTR>(mPlugWnd);
  if (!SendMessageA(mTooltipWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)))
  {
    DestroyWindow(mTooltipWnd);
    mTooltipWnd = nullptr;
    mEnableTooltips = false;
  }
}

void IGraphicsWin::SetTooltipText(const char* text)
{
  if (!mTooltipWnd) return;
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = mPlugWnd;
  tool.uId = reinterpret_cast<UINT_PTR>(mPlugWnd);
  tool.lpszText = const_cast<char*>(text ? text : "");
  SendMessageA(mTooltipWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void IGraphicsWin::ShowTooltip()
{
  IControl* control = GetControl(mTooltipIdx);
  if (!mTooltipWnd || !control) return;
  SetTooltipText(control->GetTooltip().c_str());
  SendMessageA(mTooltipWnd, TTM_ACTIVATE, TRUE, 0);
  mShowingTooltip = true;
}

void IGraphicsWin::HideTooltip()
{
  if (!mShowingTooltip) return;
  if (mTooltipWnd) SendMessageA(mTooltipWnd, TTM_ACTIVATE, FALSE, 0);
  mShowingTooltip = false;
}

LRESULT CALLBACK IGraphicsWin::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_CREATE)
  {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    // A non-positive rate would divide by zero; it runs at the default.
    const int fps = sCreatingFPS > 0 ? sCreatingFPS : kDefaultFPS;
    SetTimer(hWnd, kRedrawTimerId, UINT(1000.0 / fps), nullptr);
    SetFocus(hWnd);
    return 0;
  }
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (!graphics || hWnd != graphics->mPlugWnd) return DefWindowProcA(hWnd, msg, wParam, lParam);
  return graphics->HandleMessage(hWnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::ForwardKeyToHost(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  // Host shortcuts keep working while the editor has the focus.
  HWND root = GetAncestor(hWnd, GA_ROOT);
  if (root && root != hWnd) SendMessageA(root, msg, wParam, lParam);
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (mParamEditWnd && mTextEntryState == kEntryEditing)
  {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN)
    {
      mTextEntryState = kEntryCancel;
      return 0;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  }

  const int x = PositionX(lParam);
  const int y = PositionY(lParam);
  switch (msg)
  {
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    return 0;

  case WM_PAINT:
  {
    RECT update;
    if (GetUpdateRect(hWnd, &update, FALSE))
    {
      Draw(IRect(update.left, update.top, update.right, update.bottom));
      // Draw paints nothing without controls; the area must not stay invalid.
      ValidateRect(hWnd, &update);
    }
    return 0;
  }

  case WM_CLOSE:
    CloseEditorWindow();
    return 0;

  case WM_KEYDOWN:
  {
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(hWnd, &cursor);
    const int key = KeyCodeFromVirtualKey(int(wParam));
    if (key >= 0 && OnKeyDown(cursor.x, cursor.y, key)) return 0;
    return ForwardKeyToHost(hWnd, msg, wParam, lParam);
  }

  case WM_KEYUP:
    return ForwardKeyToHost(hWnd, msg, wParam, lParam);

  case WM_TIMER:
    if (wParam == kRedrawTimerId) OnRedrawTick();
    return 0;

  case WM_CTLCOLOREDIT:
  {
    if (!mParamEditWnd || !mEdControl) return 0;
    const ITextStyle* text = mEdControl->GetText();
    HDC dc = reinterpret_cast<HDC>(wParam);
    const IRgba& bg = text->mTextEntryBGColor;
    const IRgba& fg = text->mTextEntryFGColor;
    SetBkColor(dc, RGB(bg.R, bg.G, bg.B));
    SetTextColor(dc, RGB(fg.R, fg.G, fg.B));
    SetBkMode(dc, OPAQUE);
    // The stock brush paints in the DC's brush colour: the box's background.
    SetDCBrushColor(dc, RGB(bg.R, bg.G, bg.B));
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
  }

  case WM_MOUSEMOVE:
  {
    IMouseKeys mods = MouseKeys(wParam);
    if (wParam & (MK_LBUTTON | MK_RBUTTON))
    {
      if (GetCapture() == hWnd && !mParamEditWnd) OnMouseDrag(x, y, &mods);
      return 0;
    }
    const int previousOver = mMouseOver;
    if (OnMouseOver(x, y, &mods))
    {
      TRACKMOUSEEVENT track{};
      track.cbSize = sizeof(track);
      track.dwFlags = TME_LEAVE;
      track.hwndTrack = hWnd;
      track.dwHoverTime = HOVER_DEFAULT;
      if (mEnableTooltips && mMouseOver != previousOver)
      {
        HideTooltip();
        mTooltipIdx = mMouseOver;
        track.dwFlags |= TME_HOVER;
      }
      TrackMouseEvent(&track);
    }
    return 0;
  }

  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  {
    HideTooltip();
    if (mParamEditWnd)
    {
      mTextEntryState = kEntryCommit;
      return 0;
    }
    SetFocus(hWnd);
    SetCapture(hWnd);
    IMouseKeys mods = MouseKeys(wParam);
    OnMouseDown(x, y, &mods);
    return 0;
  }

  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
  {
    ReleaseCapture();
    IMouseKeys mods = MouseKeys(wParam);
    OnMouseUp(x, y, &mods);
    return 0;
  }

  case WM_LBUTTONDBLCLK:
  {
    IMouseKeys mods = MouseKeys(wParam);
    if (OnMouseDblClick(x, y, &mods)) SetCapture(hWnd);
    return 0;
  }

  case WM_MOUSEWHEEL:
  {
    if (mParamEditWnd)
    {
      mTextEntryState = kEntryCancel;
      return 0;
    }
    // Wheel positions are in screen coordinates.
    RECT windowRect{};
    GetWindowRect(hWnd, &windowRect);
    IMouseKeys mods = MouseKeys(wParam);
    OnMouseWheel(x - windowRect.left, y - windowRect.top, &mods,
                 WheelNotches(int16_t(HIWORD(wParam))));
    return 0;
  }

  case WM_MOUSEHOVER:
    ShowTooltip();
    return 0;

  case WM_MOUSELEAVE:
    HideTooltip();
    OnMouseOut();
    return 0;

  default:
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
}

void IGraphicsWin::OnRedrawTick()
{
  // The timer runs on the user-interface thread without the instance lock:
  // where the host hears of the plug-in's own changes.
  if (mPlug) mPlug->SendPendingHostNotifications();
  if (mParamEditWnd && mTextEntryState != kEntryNone)
  {
    switch (mTextEntryState)
    {
    case kEntryCancel:
      CloseTextEntry(false);
      break;
    case kEntryCommit:
      CloseTextEntry(true);
      break;
    default:
      mTextEntryState = kEntryNone;
      break;
    }
    return;
  }

  IRect dirty;
  if (!IsDirty(dirty)) return;
  RECT invalid{dirty.L, dirty.T, dirty.R, dirty.B};
  InvalidateRect(mPlugWnd, &invalid, FALSE);
  if (mParamEditWnd && mEdControl)
  {
    // The entry box stays on top of the control it edits.
    const IRect& entry = mEdControl->GetRECT();
    RECT keep{entry.L, entry.T, entry.R, entry.B};
    ValidateRect(mPlugWnd, &keep);
    UpdateWindow(mPlugWnd);
    mTextEntryState = kEntryRedrawnWhileEditing;
  }
  else
  {
    UpdateWindow(mPlugWnd);
  }
}

bool IGraphicsWin::DrawScreen(const IRect& rect)
{
  if (!mPlugWnd || !mDrawBitmap) return false;
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(mPlugWnd, &paint);
  BitBlt(screen, rect.L, rect.T, rect.W(), rect.H(), static_cast<HDC>(mDrawBitmap->DeviceContext()),
         rect.L, rect.T, SRCCOPY);
  EndPaint(mPlugWnd, &paint);
  return true;
}

void IGraphicsWin::Resize(int width, int height)
{
  if (width == mWidth && height == mHeight) return;
  const int dw = width - mWidth;
  const int dh = height - mHeight;
  // The entry's control is deleted with the others.
  DestroyTextEntry();
  IGraphics::Resize(width, height);
  if (!mPlugWnd) return;
  GrowWindow(mPlugWnd, dw, dh);
  const int api = mPlug ? mPlug->GetApiKind() : -1;
  // Only hosts of these kinds size their own frames.
  if (api != 1 && api != 3)
  {
    HWND parent = GetParent(mPlugWnd);
    if (IsChildWindow(parent))
    {
      GrowWindow(parent, dw, dh);
      HWND grandparent = GetParent(parent);
      if (IsChildWindow(grandparent)) GrowWindow(grandparent, dw, dh);
    }
  }
  InvalidateRect(mPlugWnd, nullptr, FALSE);
}

void IGraphicsWin::ConcealMouseCursor()
{
  if (mCursorHidden) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  mHiddenMousePointX = cursor.x;
  mHiddenMousePointY = cursor.y;
  ShowCursor(FALSE);
  mCursorHidden = true;
}

void IGraphicsWin::RevealMouseCursor()
{
  if (!mCursorHidden) return;
  SetCursorPos(mHiddenMousePointX, mHiddenMousePointY);
  ShowCursor(TRUE);
  mCursorHidden = false;
}

HWND IGraphicsWin::MainWindow()
{
  if (mMainWnd) return mMainWnd;
  if (mParentWnd)
  {
    HWND top = mParentWnd;
    while (HWND up = GetParent(top))
      top = up;
    mMainWnd = top;
    char className[256] = {};
    GetClassNameA(top, className, int(sizeof(className)));
    mMainWndClassName = className;
    return mMainWnd;
  }
  if (!mMainWndClassName.empty())
  {
    MainWindowSearch search{GetCurrentProcessId(), &mMainWndClassName, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    mMainWnd = search.found;
  }
  return mMainWnd;
}

LICE_IBitmap* IGraphicsWin::LoadResourceBitmap(int id, const char* fileName)
{
  return LoadPngResourceBitmap(mHInstance, id, fileName);
}
