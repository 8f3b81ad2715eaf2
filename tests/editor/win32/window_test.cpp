// The real Win32 editor window, run under Wine with a display (Xvfb).

#include "editor_test_plug.h"
#include "file_dialog_filter.h"
#include "knob_control.h"
#include "test_images.h"
#include "win32/graphics_win.h"
#include "win32/win_dialog_answers.h"

#include <commdlg.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using Event = EditorTestPlug::Event;

namespace
{
constexpr char kHostClassName[] = "EditorTestHostWindow";
std::vector<WPARAM> sHostKeys;

LRESULT CALLBACK HostWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_KEYDOWN) sHostKeys.push_back(wParam);
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

bool WindowClassRegistered()
{
  WNDCLASSA info;
  return GetClassInfoA(GetModuleHandleA(nullptr), IGraphicsWin::kWindowClassName, &info) != 0;
}

LPARAM Position(int x, int y)
{
  return MAKELPARAM(x, y);
}

// A host window of the test's own, with an editor of 40 x 40 holding the
// background and a knob strip (three 4 x 4 frames) bound to parameter 0 at
// (10, 12).
class EditorWindowTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = HostWndProc;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.lpszClassName = kHostClassName;
    RegisterClassA(&hostClass);
    // One host window for the suite: showing a top-level window is slow
    // without a window manager.
    sHost = CreateWindowExA(0, kHostClassName, "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                            200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  static void TearDownTestSuite() { DestroyWindow(sHost); }

  EditorWindowTest() : host(sHost)
  {
    graphics = MakeEditor(plug);
    sHostKeys.clear();
  }

  ~EditorWindowTest() override { graphics->CloseEditorWindow(); }

  IGraphicsWin* MakeEditor(EditorTestPlug& owner)
  {
    auto* editor = new IGraphicsWin(&owner, 40, 40);
    editor->SetHInstance(GetModuleHandleA(nullptr));
    editor->SetBackgroundImage(kBackgroundId, "background.png");
    const IImage strip = editor->LoadImageById(kStripId, "strip.png", 3);
    editor->AddControl(new IKnobMultiControl(&owner, 10, 12, 0, strip));
    owner.AttachEditor(editor);
    return editor;
  }

  HWND Open()
  {
    HWND window = static_cast<HWND>(graphics->OpenEditorWindow(host));
    Pump(150);
    return window;
  }

  static HWND sHost;
  EditorTestPlug plug;
  HWND host;
  IGraphicsWin* graphics = nullptr;
};

HWND EditorWindowTest::sHost = nullptr;
} // namespace

TEST_F(EditorWindowTest, OpensAChildWindowOfItsClass)
{
  ASSERT_NE(host, nullptr);
  EXPECT_FALSE(graphics->WindowIsOpen());
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(graphics->WindowIsOpen());
  EXPECT_EQ(graphics->WindowHandle(), window);
  EXPECT_EQ(GetParent(window), host);
  char className[64] = {};
  GetClassNameA(window, className, int(sizeof(className)));
  EXPECT_STREQ(className, "IPlugWndClass");
  char title[16] = {};
  GetWindowTextA(window, title, int(sizeof(title)));
  EXPECT_STREQ(title, "IPlug");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & WS_VISIBLE);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 40);
  EXPECT_EQ(client.bottom, 40);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  EXPECT_STREQ(graphics->DrawingApiName(), "Windows GDI");
  EXPECT_EQ(graphics->MainWindow(), host);
}

TEST_F(EditorWindowTest, TimerPaintsTheDrawBitmapOnScreen)
{
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  // Everything was drawn once: nothing is dirty any more.
  IRect dirty;
  EXPECT_FALSE(graphics->IsDirty(dirty));
  LICE_IBitmap* bitmap = graphics->GetDrawBitmap();
  EXPECT_EQ(PixelAt(bitmap, 11, 13), kStripColors[0]);
  EXPECT_EQ(PixelAt(bitmap, 30, 30), BackgroundPixel(30, 30));
  HDC screen = GetDC(window);
  for (int y = 1; y < 40; y += 6)
    for (int x = 2; x < 40; x += 5)
    {
      const LICE_pixel expected = PixelAt(bitmap, x, y);
      const COLORREF shown = GetPixel(screen, x, y);
      EXPECT_EQ(GetRValue(shown), LICE_RedOf(expected)) << x << ", " << y;
      EXPECT_EQ(GetGValue(shown), LICE_GreenOf(expected)) << x << ", " << y;
      EXPECT_EQ(GetBValue(shown), LICE_BlueOf(expected)) << x << ", " << y;
    }
  ReleaseDC(window, screen);
}

TEST_F(EditorWindowTest, MouseDragAndWheelReachThePlug)
{
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  plug.events.clear();
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Position(11, 13));
  PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Position(11, 11));
  PostMessageA(window, WM_LBUTTONUP, 0, Position(11, 11));
  Pump(100);
  // Two pixels up on a 4-pixel knob at gearing 4: 2 / 16.
  EXPECT_NEAR(plug.GetParam(0)->Value(), 2.0 / 16.0, 1e-9);
  ASSERT_GE(plug.events.size(), 3u);
  EXPECT_EQ(plug.events.front().kind, Event::kBegin);
  EXPECT_EQ(plug.events.back().kind, Event::kEnd);
  EXPECT_EQ(plug.EventsOf(Event::kValue).size(), 1u);

  // The drawn knob follows: 0.125 is still frame 1 of 3; the wheel moves on
  // from there in screen coordinates, two notches up.
  POINT screenPoint{12, 14};
  ClientToScreen(window, &screenPoint);
  PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), Position(screenPoint.x, screenPoint.y));
  // Half a notch is no notch, but still reaches the knob.
  PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), Position(screenPoint.x, screenPoint.y));
  Pump(100);
  EXPECT_NEAR(plug.GetParam(0)->Value(), 0.125 + 0.02, 1e-9);
  EXPECT_EQ(plug.EventsOf(Event::kValue).size(), 3u);
}

TEST_F(EditorWindowTest, DoubleClickRestoresTheDefault)
{
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120 * 30),
               [&]
               {
                 POINT p{11, 13};
                 ClientToScreen(window, &p);
                 return Position(p.x, p.y);
               }());
  Pump(60);
  EXPECT_NEAR(plug.GetParam(0)->Value(), 0.3, 1e-9);
  plug.events.clear();
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Position(11, 13));
  PostMessageA(window, WM_LBUTTONUP, 0, Position(11, 13));
  PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, Position(11, 13));
  PostMessageA(window, WM_LBUTTONUP, 0, Position(11, 13));
  Pump(100);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 0.0);
  ASSERT_EQ(plug.events.size(), 4u);
  EXPECT_EQ(plug.events[0].kind, Event::kBegin);
  EXPECT_EQ(plug.events[1].kind, Event::kEnd);
  EXPECT_EQ(plug.events[2].kind, Event::kValue);
  EXPECT_EQ(plug.events[3].kind, Event::kEnd);
}

TEST_F(EditorWindowTest, KeysWithoutACodeReachTheHostWindow)
{
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  SendMessageA(window, WM_KEYDOWN, VK_TAB, 0);
  SendMessageA(window, WM_KEYDOWN, 'A', 0);
  // No control takes keys here, so both go on to the host.
  EXPECT_EQ(sHostKeys, (std::vector<WPARAM>{VK_TAB, 'A'}));
}

TEST_F(EditorWindowTest, ReopeningKeepsPositionAndSizeAndOneWindow)
{
  HWND first = Open();
  ASSERT_NE(first, nullptr);
  SetWindowPos(first, nullptr, 7, 9, 33, 31, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND second = Open();
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(graphics->WindowHandle(), second);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  // The same place inside the host's client area, even though the host has
  // a frame.
  RECT after{};
  GetWindowRect(second, &after);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&after), 2);
  EXPECT_EQ(after.left, 7);
  EXPECT_EQ(after.top, 9);
  EXPECT_EQ(after.right - after.left, 33);
  EXPECT_EQ(after.bottom - after.top, 31);
}

TEST_F(EditorWindowTest, ReopeningAfterTheHostDestroyedTheWindowStartsAfresh)
{
  // A host frame destroyed with the editor inside, without closing it first.
  HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, host,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(frame, nullptr);
  HWND first = static_cast<HWND>(graphics->OpenEditorWindow(frame));
  ASSERT_NE(first, nullptr);
  DestroyWindow(frame);
  EXPECT_FALSE(IsWindow(first));

  HWND second = Open();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetParent(second), host);
  RECT client{};
  GetClientRect(second, &client);
  EXPECT_EQ(client.right, 40);
  EXPECT_EQ(client.bottom, 40);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
}

TEST_F(EditorWindowTest, ClosingKeepsControlsAndValues)
{
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  plug.GetParam(0)->SetClamped(1.0);
  plug.RefreshParamControls();
  graphics->CloseEditorWindow();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(graphics->WindowIsOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_FALSE(WindowClassRegistered());
  EXPECT_EQ(graphics->NControls(), 2);
  EXPECT_DOUBLE_EQ(graphics->GetControl(1)->GetValue(), 1.0);
  // Reopened, it paints the knob's last frame.
  HWND again = Open();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(PixelAt(graphics->GetDrawBitmap(), 11, 13), kStripColors[2]);
  // The window's close message closes it as well.
  SendMessageA(again, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(again));
  EXPECT_FALSE(graphics->WindowIsOpen());
}

TEST_F(EditorWindowTest, TwoEditorsShareTheWindowClass)
{
  EditorTestPlug otherPlug;
  IGraphicsWin* other = MakeEditor(otherPlug);
  ASSERT_NE(Open(), nullptr);
  ASSERT_NE(other->OpenEditorWindow(host), nullptr);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
  graphics->CloseEditorWindow();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  EXPECT_TRUE(WindowClassRegistered());
  EXPECT_TRUE(other->WindowIsOpen());
  other->CloseEditorWindow();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_FALSE(WindowClassRegistered());
}

TEST_F(EditorWindowTest, AFailedCreationLeavesTheEditorClosed)
{
  // A parent that is not a window makes creation fail.
  HWND notAWindow = reinterpret_cast<HWND>(intptr_t(0x7fff0));
  EXPECT_EQ(graphics->OpenEditorWindow(notAWindow), nullptr);
  EXPECT_FALSE(graphics->WindowIsOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_FALSE(WindowClassRegistered());
}

TEST_F(EditorWindowTest, PromptsWithoutAWindowAnswerAsCancelled)
{
  std::string file = "kick.thudwerkpreset";
  std::string folder;
  graphics->AskForFile(file, IGraphics::kFileOpen, folder, "thudwerkpreset");
  EXPECT_EQ(file, "");
  IRgba colour;
  EXPECT_FALSE(graphics->AskForColor(colour, "Colour"));
  IMenu menu;
  menu.AddItem("one");
  EXPECT_EQ(graphics->ShowPopupMenu(&menu, IRect(0, 0, 4, 4)), nullptr);
  EXPECT_EQ(menu.ChosenItemIdx(), -1);
}

TEST_F(EditorWindowTest, ClipboardTextComesAsUtf8)
{
  ASSERT_NE(Open(), nullptr);
  const wchar_t text[] = L"Kick \x00fc";
  ASSERT_TRUE(OpenClipboard(host));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
  std::memcpy(GlobalLock(memory), text, sizeof(text));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  std::string pasted;
  EXPECT_TRUE(graphics->ClipboardText(pasted));
  EXPECT_EQ(pasted, "Kick \xc3\xbc");
}

TEST_F(EditorWindowTest, TextEntryCommitsFilteredTextOnEnter)
{
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  IControl* knob = graphics->GetControl(1);
  IPlugParam* param = plug.GetParam(EditorTestPlug::kIntParam);
  graphics->CreateTextEntry(knob, *knob->GetText(), IRect(2, 2, 30, 20), "", param);
  HWND entry = graphics->GetTextEntryWindow();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(GetParent(entry), window);
  EXPECT_EQ(GetDlgCtrlID(entry), IGraphicsWin::kTextEntryId);
  EXPECT_TRUE(GetWindowLongA(entry, GWL_STYLE) & ES_CENTER);
  // An integer parameter takes signs and digits only.
  SendMessageA(entry, WM_CHAR, '-', 1);
  SendMessageA(entry, WM_CHAR, 'x', 1);
  SendMessageA(entry, WM_CHAR, '4', 1);
  SendMessageA(entry, WM_CHAR, '.', 1);
  char typed[16] = {};
  GetWindowTextA(entry, typed, int(sizeof(typed)));
  EXPECT_STREQ(typed, "-4");
  SendMessageA(entry, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kEntryCommit);
  Pump(120);
  EXPECT_EQ(graphics->GetTextEntryWindow(), nullptr);
  EXPECT_FALSE(IsWindow(entry));
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kEntryNone);
  // The entry's parameter reads the text (its display is negated: "-4"
  // means 4); the value goes to the control, bound to parameter 0.
  EXPECT_DOUBLE_EQ(param->Value(), 3.0);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), param->ToNormalized(4.0));
}

TEST_F(EditorWindowTest, TextEntryCancelsOnEscapeAndWheel)
{
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  IControl* knob = graphics->GetControl(1);
  IPlugParam* param = plug.GetParam(EditorTestPlug::kIntParam);
  const double before = plug.GetParam(0)->Value();
  graphics->CreateTextEntry(knob, *knob->GetText(), IRect(2, 2, 30, 20), "9", param);
  HWND entry = graphics->GetTextEntryWindow();
  ASSERT_NE(entry, nullptr);
  SendMessageA(entry, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kEntryCancel);
  Pump(120);
  EXPECT_EQ(graphics->GetTextEntryWindow(), nullptr);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), before);

  graphics->CreateTextEntry(knob, *knob->GetText(), IRect(2, 2, 30, 20), "9", param);
  ASSERT_NE(graphics->GetTextEntryWindow(), nullptr);
  SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kEntryCancel);
  Pump(120);
  EXPECT_EQ(graphics->GetTextEntryWindow(), nullptr);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), before);
}

TEST_F(EditorWindowTest, ResizeGrowsTheWindowAndLeavesTheHostToTheCaller)
{
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  plug.events.clear();
  graphics->Resize(60, 50);
  RECT size{};
  GetWindowRect(window, &size);
  EXPECT_EQ(size.right - size.left, 60);
  EXPECT_EQ(size.bottom - size.top, 50);
  // The caller may hold the instance lock: it asks the host itself.
  EXPECT_TRUE(plug.EventsOf(Event::kResize).empty());
  EXPECT_EQ(graphics->NControls(), 0);
  EXPECT_EQ(graphics->GetDrawBitmap()->Width(), 60);
  // The host's window is top-level, not a child: it keeps its size.
  RECT hostSize{};
  GetWindowRect(host, &hostSize);
  EXPECT_EQ(hostSize.right - hostSize.left, 200);
  // The same size again rebuilds nothing.
  const LICE_SysBitmap* bitmap = graphics->GetDrawBitmap();
  graphics->Resize(60, 50);
  EXPECT_EQ(graphics->GetDrawBitmap(), bitmap);
}

TEST_F(EditorWindowTest, ResizeClosesAnOpenTextEntry)
{
  ASSERT_NE(Open(), nullptr);
  IControl* knob = graphics->GetControl(1);
  graphics->CreateTextEntry(knob, *knob->GetText(), IRect(2, 2, 30, 20), "5",
                            plug.GetParam(EditorTestPlug::kIntParam));
  HWND entry = graphics->GetTextEntryWindow();
  ASSERT_NE(entry, nullptr);
  const double before = plug.GetParam(0)->Value();
  // The knob the entry edits is deleted by the resize: the entry goes with
  // it and nothing is committed later.
  graphics->Resize(50, 50);
  EXPECT_EQ(graphics->GetTextEntryWindow(), nullptr);
  EXPECT_FALSE(IsWindow(entry));
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kEntryNone);
  Pump(100);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), before);
}

TEST_F(EditorWindowTest, ConcealedCursorComesBackWhereItWas)
{
  ASSERT_NE(Open(), nullptr);
  SetCursorPos(50, 60);
  graphics->ConcealMouseCursor();
  SetCursorPos(5, 6);
  // Already hidden: the remembered place stays.
  graphics->ConcealMouseCursor();
  graphics->RevealMouseCursor();
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, 50);
  EXPECT_EQ(cursor.y, 60);
}

namespace
{
struct TooltipSearch
{
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindTooltip(HWND window, LPARAM lParam)
{
  auto* search = reinterpret_cast<TooltipSearch*>(lParam);
  char className[64] = {};
  GetClassNameA(window, className, int(sizeof(className)));
  if (std::string(className) == "tooltips_class32" && GetWindow(window, GW_OWNER) == search->owner)
  {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}
} // namespace

TEST_F(EditorWindowTest, TooltipWindowLivesWithTheEditorWindow)
{
  graphics->EnableTooltips(true);
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(graphics->TooltipsEnabled());
  // A popup's owner is always a top-level window: the editor's root.
  TooltipSearch search{GetAncestor(window, GA_ROOT), nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&search));
  ASSERT_NE(search.found, nullptr);
  graphics->CloseEditorWindow();
  EXPECT_FALSE(IsWindow(search.found));
}

namespace
{
// Keys typed into the open popup menu by a timer firing inside its modal
// loop.
std::vector<WPARAM> sMenuKeys;

void CALLBACK TypeIntoMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
  KillTimer(nullptr, timer);
  HWND menuWindow = FindWindowA("#32768", nullptr);
  for (WPARAM key : sMenuKeys)
  {
    PostMessageA(menuWindow, WM_KEYDOWN, key, 0);
    PostMessageA(menuWindow, WM_KEYUP, key, 0);
  }
}

IMenu* ChooseWithKeys(IGraphicsWin* graphics, IMenu& menu, std::vector<WPARAM> keys)
{
  sMenuKeys = std::move(keys);
  SetTimer(nullptr, 0, 100, TypeIntoMenu);
  return graphics->ShowPopupMenu(&menu, IRect(2, 2, 20, 10));
}
} // namespace

TEST_F(EditorWindowTest, PopupMenuReturnsTheChosenSubmenuItem)
{
  ASSERT_NE(Open(), nullptr);
  IMenu root(IMenu::kPrefixTwoDigits);
  IMenu submenu;
  root.AddItem("Init");
  root.AddItem("Punchy");
  root.AddItem("Factory", &submenu);
  submenu.AddItem("Deep");
  submenu.AddItem("Boom");
  IMenu* chosen =
      ChooseWithKeys(graphics, root, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
  EXPECT_EQ(chosen, &submenu);
  EXPECT_EQ(submenu.ChosenItemIdx(), 1);
  EXPECT_EQ(root.ChosenItemIdx(), -1);

  chosen = ChooseWithKeys(graphics, root, {VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_EQ(chosen, &root);
  EXPECT_EQ(root.ChosenItemIdx(), 1);
  EXPECT_EQ(submenu.ChosenItemIdx(), -1);

  chosen = ChooseWithKeys(graphics, root, {VK_ESCAPE, VK_ESCAPE});
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(root.ChosenItemIdx(), -1);
}

namespace
{
std::string TempFolder()
{
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  return path;
}
} // namespace

TEST_F(EditorWindowTest, CancelledSaveDialogKeepsTheFolderAndEmptiesTheFile)
{
  ASSERT_NE(Open(), nullptr);
  std::string folder = TempFolder();
  const std::string before = folder;
  std::string file = "kick.thudwerkpreset";
  AnswerNextFileDialog("");
  graphics->AskForFile(file, IGraphics::kFileSave, folder, "thudwerkpreset");
  EXPECT_EQ(file, "");
  EXPECT_EQ(folder, before);
}

TEST_F(EditorWindowTest, SaveDialogGivesThePathAndItsFolderWithTheDefaultExtension)
{
  ASSERT_NE(Open(), nullptr);
  std::string folder = TempFolder();
  std::string file;
  AnswerNextFileDialog(folder + "editor_test_choice");
  graphics->AskForFile(file, IGraphics::kFileSave, folder, "thudwerkpreset");
  std::string expectedFolder;
  ASSERT_TRUE(FolderOfPath(file, expectedFolder));
  EXPECT_EQ(folder, expectedFolder);
  // The dialog appends the default extension to a name without one.
  const std::string suffix = "editor_test_choice.thudwerkpreset";
  ASSERT_GE(file.size(), suffix.size());
  EXPECT_EQ(file.substr(file.size() - suffix.size()), suffix);
}
