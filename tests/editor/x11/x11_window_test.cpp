// The real X11 editor window inside a host window, under Xvfb, with real
// input sent through the XTest extension and the screen read back.

// GoogleTest first: Xlib's macros (Bool, None, Status) would rename its code.
#include <gtest/gtest.h>

#include "editor_test_plug.h"
#include "knob_control.h"
#include "test_images.h"
#include "x11/graphics_x11.h"
#include "x11/x11_editor_driver.h"
#include "x11_host_window.h"

#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

using Event = EditorTestPlug::Event;

namespace
{
using Kinds = std::vector<Event::Kind>;

// The same editor as the Win32 window test: 40 x 40, the background and a
// knob strip (three 4 x 4 frames) bound to parameter 0 at (10, 12).
class X11WindowTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite() { sHost = new X11HostWindow(200, 200); }
  static void TearDownTestSuite() { delete sHost; }

  X11WindowTest() : host(*sHost) { graphics = MakeEditor(plug); }
  ~X11WindowTest() override
  {
    driver.reset();
    graphics->CloseEditorWindow();
  }

  static IGraphicsX11* MakeEditor(EditorTestPlug& owner)
  {
    auto* editor = new IGraphicsX11(&owner, 40, 40);
    editor->SetModuleInstance(TestImageModule());
    editor->SetBackgroundImage(kBackgroundId, "background.png");
    const IImage strip = editor->LoadImageById(kStripId, "strip.png", 3);
    editor->AddControl(new IKnobMultiControl(&owner, 10, 12, 0, strip));
    owner.AttachEditor(editor);
    return editor;
  }

  Window Open()
  {
    const auto window =
        Window(reinterpret_cast<uintptr_t>(graphics->OpenEditorWindow(host.Handle())));
    if (window) driver = std::make_unique<X11EditorDriver>(*graphics);
    Pump(120);
    return window;
  }

  // What a host's run loop does for a while.
  void Pump(int milliseconds)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do
    {
      if (driver) driver->OnTimer();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
  }

  // Runs a modal prompt while another thread plays the user: it waits for
  // the prompt's window to show, then acts.
  template <typename Prompt>
  auto WithUser(std::function<void(X11HostWindow&)> user, Prompt prompt)
  {
    std::thread player(
        [user]
        {
          X11HostWindow input(1, 1);
          for (int i = 0; i < 200 && input.PromptWindows().empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
          // The prompt grabs the keyboard right after it shows.
          std::this_thread::sleep_for(std::chrono::milliseconds(50));
          user(input);
        });
    auto result = prompt();
    player.join();
    return result;
  }

  Kinds KindsOf(const std::vector<Event>& events)
  {
    Kinds kinds;
    for (const Event& event : events)
      kinds.push_back(event.kind);
    return kinds;
  }

  static X11HostWindow* sHost;
  X11HostWindow& host;
  EditorTestPlug plug;
  IGraphicsX11* graphics = nullptr;
  std::unique_ptr<X11EditorDriver> driver;
};

X11HostWindow* X11WindowTest::sHost = nullptr;

class X11WindowImageTest : public X11WindowTest, public ::testing::WithParamInterface<bool>
{
};
} // namespace

TEST_P(X11WindowImageTest, ChildOfTheHostShowsTheDrawBitmap)
{
  const bool shared = GetParam();
  setenv("THUDWERK_X11_NO_SHM", shared ? "0" : "1", 1);
  const Window window = Open();
  unsetenv("THUDWERK_X11_NO_SHM");
  ASSERT_NE(window, 0u);
  EXPECT_EQ(graphics->UsesSharedMemory(), shared);
  EXPECT_EQ(host.Children(), std::vector<Window>{window});
  IRect dirty;
  EXPECT_FALSE(graphics->IsDirty(dirty)) << "the first ticks drew everything";
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> shown = host.ReadBack(window, width, height);
  ASSERT_EQ(width, 40);
  ASSERT_EQ(height, 40);
  LICE_IBitmap* bitmap = graphics->GetDrawBitmap();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(shown[size_t(y * 40 + x)], PixelAt(bitmap, x, y) & 0xFFFFFF) << x << ", " << y;
  EXPECT_EQ(PixelAt(bitmap, 11, 13), kStripColors[0]);

  graphics->CloseEditorWindow();
  host.Sync();
  EXPECT_TRUE(host.Children().empty());
}

INSTANTIATE_TEST_SUITE_P(SharedAndPlainImages, X11WindowImageTest, ::testing::Values(true, false));

TEST_F(X11WindowTest, DragWheelAndDoubleClickReachThePlugInWin32Order)
{
  const Window window = Open();
  ASSERT_NE(window, 0u);
  plug.events.clear();
  host.MoveTo(window, 11, 13);
  host.Button(1, true);
  Pump(30);
  host.MoveTo(window, 11, 11);
  Pump(30);
  host.Button(1, false);
  Pump(30);
  // Two pixels up on a 4-pixel knob at gearing 4: 2 / 16.
  EXPECT_NEAR(plug.GetParam(0)->Value(), 2.0 / 16.0, 1e-9);
  EXPECT_EQ(KindsOf(plug.events), (Kinds{Event::kBegin, Event::kValue, Event::kEnd}));

  plug.events.clear();
  host.Click(window, 12, 14, 4); // the wheel, one notch away from the user
  Pump(30);
  EXPECT_NEAR(plug.GetParam(0)->Value(), 0.125 + 0.01, 1e-9);
  EXPECT_EQ(KindsOf(plug.events), (Kinds{Event::kValue}));

  std::this_thread::sleep_for(std::chrono::milliseconds(450));
  plug.events.clear();
  host.Click(window, 11, 13);
  host.Click(window, 11, 13);
  Pump(30);
  // Press with its gesture, release, the double click's reset without a
  // gesture begin, and the second release.
  EXPECT_EQ(KindsOf(plug.events), (Kinds{Event::kBegin, Event::kEnd, Event::kValue, Event::kEnd}));
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 0.0) << "the default";
}

TEST_F(X11WindowTest, TextEntryCommitsOnEnterAndCancelsOnEscapeOrWheel)
{
  const Window window = Open();
  ASSERT_NE(window, 0u);
  IControl* knob = graphics->GetControl(1);
  IPlugParam* param = plug.GetParam(EditorTestPlug::kIntParam);
  graphics->CreateTextEntry(knob, *knob->GetText(), IRect(2, 2, 30, 20), "12", param);
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsX11::kEntryEditing);
  Pump(60);
  // The selected text is replaced; an integer takes signs and digits only.
  host.Type("-x4.");
  host.Key(XK_Return);
  Pump(100);
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsX11::kEntryNone);
  // The display is negated: "-4" means 4, handed to the knob's parameter.
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), param->ToNormalized(4.0));

  const double before = plug.GetParam(0)->Value();
  for (const bool byWheel : {false, true})
  {
    graphics->CreateTextEntry(knob, *knob->GetText(), IRect(2, 2, 30, 20), "9", param);
    Pump(60);
    host.Type("1");
    if (byWheel)
      host.Click(window, 35, 35, 5);
    else
      host.Key(XK_Escape);
    Pump(100);
    EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsX11::kEntryNone) << byWheel;
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), before) << byWheel;
  }
}

TEST_F(X11WindowTest, PopupMenuNavigatesIntoASubmenuByKeysAndCancels)
{
  ASSERT_NE(Open(), 0u);
  IMenu sub;
  sub.AddItem("Deep");
  sub.AddItem("Tight");
  IMenu menu(IMenu::kPrefixTwoDigits);
  menu.AddItem("Init");
  menu.AddItem("Kicks", &sub);
  menu.AddItem("Other");
  const IRect below(2, 2, 30, 20);
  IMenu* chosen = WithUser(
      [](X11HostWindow& user)
      {
        for (KeySym key : {XK_Down, XK_Down, XK_Right, XK_Down, XK_Return})
          user.Key(key);
      },
      [&] { return graphics->ShowPopupMenu(&menu, below); });
  EXPECT_EQ(chosen, &sub);
  EXPECT_EQ(sub.ChosenItemIdx(), 1);
  EXPECT_TRUE(host.PromptWindows().empty());

  chosen = WithUser([](X11HostWindow& user) { user.Key(XK_Escape); },
                    [&] { return graphics->ShowPopupMenu(&menu, below); });
  EXPECT_EQ(chosen, nullptr);
  // A click outside the menu dismisses it too.
  chosen = WithUser([](X11HostWindow& user) { user.Click(user.Id(), 150, 150); },
                    [&] { return graphics->ShowPopupMenu(&menu, below); });
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(menu.ChosenItemIdx(), -1);
}

TEST_F(X11WindowTest, PopupMenuChoosesByMouse)
{
  const Window window = Open();
  ASSERT_NE(window, 0u);
  IMenu menu;
  menu.AddItem("First");
  menu.AddItem("Second");
  IMenu* chosen = WithUser(
      [](X11HostWindow& user)
      {
        const Window shown = user.PromptWindows().front();
        int width = 0;
        int height = 0;
        user.ReadBack(shown, width, height);
        // The second of two equal rows.
        user.Click(shown, width / 2, height * 3 / 4);
      },
      [&] { return graphics->ShowPopupMenu(&menu, IRect(0, 0, 40, 10)); });
  EXPECT_EQ(chosen, &menu);
  EXPECT_EQ(menu.ChosenItemIdx(), 1);
}

TEST_F(X11WindowTest, FilePromptFallsBackToTheDrawnDialog)
{
  ASSERT_NE(Open(), 0u);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("thudwerk-x11-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "kick.thudwerkpreset") << "x";
  std::ofstream(folder / "notes.txt") << "x";
  setenv("THUDWERK_FILE_DIALOG", "drawn", 1);
  const std::string start = folder.string() + "/";

  // The list holds "../" and the one preset; the text file is filtered out.
  std::string file;
  std::string chosenFolder = start;
  WithUser(
      [](X11HostWindow& user)
      {
        for (KeySym key : {XK_Down, XK_Down, XK_Return})
          user.Key(key);
      },
      [&]
      {
        graphics->AskForFile(file, IGraphics::kFileOpen, chosenFolder, "thudwerkpreset");
        return 0;
      });
  EXPECT_EQ(file, start + "kick.thudwerkpreset");
  EXPECT_EQ(chosenFolder, start);

  file.clear();
  WithUser(
      [](X11HostWindow& user)
      {
        user.Type("Snap");
        user.Key(XK_Return);
      },
      [&]
      {
        graphics->AskForFile(file, IGraphics::kFileSave, chosenFolder, "thudwerkpreset");
        return 0;
      });
  EXPECT_EQ(file, start + "Snap.thudwerkpreset") << "the default extension is added";

  chosenFolder = start;
  WithUser([](X11HostWindow& user) { user.Key(XK_Escape); },
           [&]
           {
             graphics->AskForFile(file, IGraphics::kFileOpen, chosenFolder, "thudwerkpreset");
             return 0;
           });
  EXPECT_TRUE(file.empty());
  EXPECT_EQ(chosenFolder, start);
  unsetenv("THUDWERK_FILE_DIALOG");
  std::filesystem::remove_all(folder);
}

TEST_F(X11WindowTest, MessageBoxAndColourPromptAnswerFromTheirButtons)
{
  ASSERT_NE(Open(), 0u);
  const int yes = WithUser([](X11HostWindow& user) { user.Key(XK_Return); },
                           [&] { return graphics->ShowMessageDialog("Replace?", "Preset", 4); });
  EXPECT_EQ(yes, IGraphicsX11::kAnswerYes);
  const int cancel = WithUser([](X11HostWindow& user) { user.Key(XK_Escape); },
                              [&] { return graphics->ShowMessageDialog("Sure?", "Preset", 1); });
  EXPECT_EQ(cancel, IGraphicsX11::kAnswerCancel);

  IRgba color(255, 1, 2, 3);
  const bool chosen = WithUser(
      [](X11HostWindow& user)
      {
        user.Key(XK_numbersign, true);
        user.Type("A0B0C0");
        user.Key(XK_Return);
      },
      [&] { return graphics->AskForColor(color, "Panel colour"); });
  EXPECT_TRUE(chosen);
  EXPECT_EQ(color.R, 0xA0);
  EXPECT_EQ(color.G, 0xB0);
  EXPECT_EQ(color.B, 0xC0);
}

TEST_F(X11WindowTest, BadParentsFailCleanlyAndAParentDestroyedFirstIsSurvived)
{
  EXPECT_EQ(graphics->OpenEditorWindow(nullptr), nullptr);
  EXPECT_EQ(graphics->OpenEditorWindow(reinterpret_cast<void*>(uintptr_t(0x7ffffff0))), nullptr);
  EXPECT_FALSE(graphics->WindowIsOpen());

  // A parent of its own, which the "host" destroys while the editor is open.
  X11HostWindow doomed(60, 60);
  ASSERT_NE(graphics->OpenEditorWindow(doomed.Handle()), nullptr);
  driver = std::make_unique<X11EditorDriver>(*graphics);
  Pump(60);
  doomed.Destroy();
  Pump(60);
  driver.reset();
  graphics->CloseEditorWindow();
  EXPECT_FALSE(graphics->WindowIsOpen());
  // And it opens again afterwards.
  EXPECT_NE(Open(), 0u);
}

TEST_F(X11WindowTest, TwoEditorsReopenAndRunFromTheirOwnThreads)
{
  EditorTestPlug otherPlug;
  IGraphicsX11* other = MakeEditor(otherPlug);
  const Window first = Open();
  ASSERT_NE(first, 0u);
  ASSERT_NE(other->OpenEditorWindow(host.Handle()), nullptr);
  X11EditorDriver otherDriver(*other);
  otherDriver.StartThread();
  EXPECT_EQ(host.Children().size(), 2u);

  // The thread alone drives the second editor: a wheel notch on its knob.
  host.Click(Window(reinterpret_cast<uintptr_t>(other->WindowHandle())), 11, 13, 4);
  for (int i = 0; i < 100 && otherPlug.GetParam(0)->Value() == 0.0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_NEAR(otherPlug.GetParam(0)->Value(), 0.01, 1e-9);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 0.0);
  otherDriver.StopThread();

  // Opening again replaces the first editor's window.
  driver.reset();
  const Window again = Open();
  ASSERT_NE(again, 0u);
  EXPECT_EQ(host.Children().size(), 2u);
  other->CloseEditorWindow();
  host.Sync();
  EXPECT_EQ(host.Children(), std::vector<Window>{again});
}

TEST_F(X11WindowTest, ConcealedCursorComesBackWhereItWas)
{
  const Window window = Open();
  ASSERT_NE(window, 0u);
  host.MoveTo(window, 20, 25);
  graphics->ConcealMouseCursor();
  host.MoveTo(window, 5, 5);
  graphics->RevealMouseCursor();
  host.Sync();
  Window root;
  Window child;
  int rootX = 0;
  int rootY = 0;
  int x = 0;
  int y = 0;
  unsigned mask = 0;
  XQueryPointer(host.GetDisplay(), window, &root, &child, &rootX, &rootY, &x, &y, &mask);
  EXPECT_EQ(x, 20);
  EXPECT_EQ(y, 25);
}

namespace
{
// Notes the threads that drew it and gave it a value last.
class ThreadNotingControl : public IControl
{
public:
  explicit ThreadNotingControl(IPlugBase* plug) : IControl(plug, IRect(0, 0, 4, 4), 1) {}
  bool Draw(IGraphics*) override
  {
    drawnBy = std::this_thread::get_id();
    return true;
  }
  void TakeValueFromPlug(double value) override
  {
    takenBy = std::this_thread::get_id();
    IControl::TakeValueFromPlug(value);
  }
  std::atomic<std::thread::id> drawnBy{};
  std::atomic<std::thread::id> takenBy{};
};
} // namespace

TEST_F(X11WindowTest, OnlyTheThreadDrivingTheEditorNowHandsValuesToControlsAtOnce)
{
  enum class Pusher
  {
    kHostThreadDrivingIt,
    kHostThreadOnceTheEditorThreadStarted,
    kNewThreadWithTheEndedEditorThreadsId
  };
  const struct
  {
    Pusher pusher;
    bool expectAtOnce;
  } cases[] = {{Pusher::kHostThreadDrivingIt, true},
               {Pusher::kHostThreadOnceTheEditorThreadStarted, false},
               {Pusher::kNewThreadWithTheEndedEditorThreadsId, false}};
  auto* noting = new ThreadNotingControl(&plug);
  graphics->AddControl(noting);
  // The first value a control takes is its default, which draws nothing.
  graphics->PushParamToControls(1, 0.0, true);
  ASSERT_NE(Open(), 0u);
  double value = 0.0;
  for (const auto& c : cases)
  {
    SCOPED_TRACE(int(c.pusher));
    value += 0.25;
    bool atOnce = false;
    const auto push = [&]
    {
      noting->takenBy = std::thread::id();
      graphics->PushParamToControls(1, value, true);
      atOnce = noting->takenBy.load() == std::this_thread::get_id();
    };
    if (c.pusher == Pusher::kHostThreadDrivingIt) push();
    if (c.pusher == Pusher::kHostThreadOnceTheEditorThreadStarted)
    {
      driver->StartThread();
      push();
      driver->StopThread();
    }
    if (c.pusher == Pusher::kNewThreadWithTheEndedEditorThreadsId)
    {
      driver->StartThread();
      // Drawn by the editor's thread, which becomes the user-interface thread.
      graphics->PushParamToControls(1, 0.1, true);
      for (int i = 0; i < 300 && noting->drawnBy.load() == std::this_thread::get_id(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      const std::thread::id ended = noting->drawnBy;
      ASSERT_NE(ended, std::this_thread::get_id());
      driver->StopThread();
      bool reused = false;
      // The C library hands the next thread the ended thread's descriptor.
      for (int i = 0; i < 100 && !reused; ++i)
        std::thread(
            [&]
            {
              if (std::this_thread::get_id() != ended) return;
              reused = true;
              push();
            })
            .join();
      ASSERT_TRUE(reused);
    }
    EXPECT_EQ(atOnce, c.expectAtOnce);
    // Either way the controls have it once the host's thread has drawn.
    Pump(60);
    EXPECT_EQ(noting->GetValue(), value);
  }
}
