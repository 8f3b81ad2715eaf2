// Both Linux plug-ins' editors in real X windows under Xvfb, opened through
// their real interfaces as a host does (VST3 with a host run loop or
// without one, VST2 with and without effEditIdle), with real input sent
// through XTest and the screen read back.

// GoogleTest first: Xlib's macros (Bool, None, Status) would rename its code.
#include <gtest/gtest.h>

#include "headless/graphics_headless.h"
#include "kick_engine.h"
#include "preset_file.h"
#include "preset_sandbox.h"
#include "run_loop_frame.h"
#include "thudwerk.h"
#include "thudwerk_fixture.h"
#include "vst2_test_host.h"
#include "x11_host_window.h"

#include "lice_bitmap.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <tuple>

namespace
{
using namespace Steinberg;
using namespace EngineParam;

// The centre of the main volume knob at normal scale.
constexpr int kVolumeX = 385;
constexpr int kVolumeY = 139;

void WaitFor(const std::function<bool()>& done, const std::function<void()>& step, int ms = 3000)
{
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done() && std::chrono::steady_clock::now() < end)
    step();
}

void Sleep(int ms)
{
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Plays the user of a prompt from another thread while the host's loop
// runs the editor's modal loop.
std::thread UserOfPrompt(std::function<void(X11HostWindow&)> act)
{
  return std::thread(
      [act]
      {
        X11HostWindow input(1, 1);
        for (int i = 0; i < 300 && input.PromptWindows().empty(); ++i)
          Sleep(10);
        Sleep(50);
        act(input);
      });
}

bool CopyFactoryPreset(const PresetSandbox& sandbox, const std::string& name)
{
  std::error_code error;
  std::filesystem::copy_file(std::string(THUDWERK_PRESET_SOURCE_DIR) + "/Factory/" + name +
                                 ".thudwerkpreset",
                             sandbox.FactoryFile(name), error);
  return !error;
}

class EditorViewOnX11 : public ThudwerkTest
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    ThudwerkTest::SetUp();
    ASSERT_TRUE(window.Valid());
    view = owned(controller->createView(Vst::ViewType::kEditor));
    ASSERT_TRUE(view);
  }

  void TearDown() override
  {
    view = nullptr;
    ThudwerkTest::TearDown();
  }

  Window Editor() const
  {
    const std::vector<Window> children = window.Children();
    return children.empty() ? 0 : children.front();
  }

  // Painted to its last corner at that size, once step has run often enough.
  static void ExpectPaintedAtSize(const X11HostWindow& host, Window editor, int width, int height,
                                  const std::function<void()>& step)
  {
    int shownWidth = 0;
    int shownHeight = 0;
    std::vector<uint32_t> shown;
    WaitFor(
        [&]
        {
          shown = host.ReadBack(editor, shownWidth, shownHeight);
          return shownWidth == width && shownHeight == height && shown.back() != 0;
        },
        step);
    EXPECT_EQ(shownWidth, width);
    EXPECT_EQ(shownHeight, height);
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(shown.back(), 0u);
  }

  double Plain(Vst::ParamID id)
  {
    return controller->normalizedParamToPlain(id, controller->getParamNormalized(id));
  }

  PresetSandbox sandbox;
  X11HostWindow window{600, 560};
  IPtr<RunLoopFrame> frame = owned(new RunLoopFrame);
  IPtr<IPlugView> view;
};

class EditorOnX11ThroughVst2 : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    ASSERT_TRUE(host.Library().IsLoaded()) << host.Library().LoadError();
    effect = host.InstantiateAndStart(44100.0, 512);
    ASSERT_NE(effect, nullptr);
    ASSERT_TRUE(window.Valid());
  }

  void TearDown() override
  {
    if (effect) host.Dispatch(effect, effEditClose);
  }

  void Idle(int ms)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
    {
      host.Dispatch(effect, effEditIdle);
      Sleep(5);
    }
  }

  std::vector<VstInt32> EditCalls() const
  {
    std::vector<VstInt32> opcodes;
    for (const HostCall& call : host.calls)
      if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
          call.opcode == audioMasterAutomate)
        opcodes.push_back(call.opcode);
    return opcodes;
  }

  PresetSandbox sandbox;
  Vst2TestHost host{THUDWERK_VST2_PLUGIN_PATH};
  AEffect* effect = nullptr;
  X11HostWindow window{1100, 1000};
};
} // namespace

TEST_F(EditorViewOnX11, RunsOnTheHostLoopAndFirstPaintsWhatTheEditorDraws)
{
  ASSERT_EQ(view->setFrame(frame), kResultOk);
  ASSERT_EQ(view->attached(window.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  EXPECT_EQ(frame->EventHandlerCount(), 1);
  ASSERT_EQ(frame->TimerCount(), 1);
  EXPECT_EQ(frame->TimerInterval(0), 40u);
  const Window editor = Editor();
  ASSERT_NE(editor, 0u);

  // The same instrument in-process, drawn by the headless editor.
  Thudwerk reference(nullptr);
  auto* gui = dynamic_cast<IGraphicsHeadless*>(reference.GetEditor());
  ASSERT_NE(gui, nullptr);
  gui->Tick();
  LICE_IBitmap* expected = gui->GetDrawBitmap();
  const auto matches = [&]
  {
    int width = 0;
    int height = 0;
    const std::vector<uint32_t> shown = window.ReadBack(editor, width, height);
    if (width != 500 || height != 480) return false;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (shown[size_t(y * width + x)] !=
            (expected->Bits()[y * expected->RowSpan() + x] & 0xFFFFFF))
          return false;
    return true;
  };
  WaitFor(matches, [&] { frame->Run(40); });
  EXPECT_TRUE(matches());

  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(frame->EventHandlerCount(), 0);
  EXPECT_EQ(frame->TimerCount(), 0);
  window.Sync();
  EXPECT_EQ(Editor(), 0u);
}

TEST_F(EditorViewOnX11, KnobDragReachesTheHostAsOneGesture)
{
  view->setFrame(frame);
  ASSERT_EQ(view->attached(window.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  const Window editor = Editor();
  frame->Run(100);
  handler->Clear();
  window.MoveTo(editor, kVolumeX, kVolumeY);
  window.Button(1, true);
  frame->Run(50);
  for (int step = 1; step <= 4; ++step)
  {
    window.MoveTo(editor, kVolumeX, kVolumeY - 4 * step);
    frame->Run(30);
  }
  window.Button(1, false);
  frame->Run(50);
  // 16 pixels up on a 40-pixel knob at gearing 4 add 0.1 to 0.8.
  EXPECT_NEAR(controller->getParamNormalized(MainVolume), 0.9, 1e-9);
  const std::vector<HostEdit> edits = handler->Edits();
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front().kind, HostEdit::kBegin);
  EXPECT_EQ(edits.back().kind, HostEdit::kEnd);
  for (size_t i = 1; i + 1 < edits.size(); ++i)
    EXPECT_EQ(edits[i].kind, HostEdit::kPerform) << i;
  for (const HostEdit& edit : edits)
    EXPECT_EQ(edit.id, Vst::ParamID(MainVolume));
  view->removed();
}

TEST_F(EditorViewOnX11, PresetMenuNavigatesIntoABankAndLoadsTheChoice)
{
  ASSERT_TRUE(CopyFactoryPreset(sandbox, "EDM - 1990s Dance A"));
  std::string line;
  ASSERT_EQ(ReadPresetLastLine(sandbox.FactoryFile("EDM - 1990s Dance A"), line),
            PresetFileRead::kRead);
  const PresetFileValues sound = ParsePresetLine(line);

  view->setFrame(frame);
  ASSERT_EQ(view->attached(window.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  frame->Run(100);
  // The library title, the welcome preset, then the EDM bank: into it, and
  // its first preset.
  std::thread user = UserOfPrompt(
      [](X11HostWindow& input)
      {
        for (KeySym key : {XK_Down, XK_Down, XK_Down, XK_Right, XK_Return})
          input.Key(key);
      });
  window.Click(Editor(), 250, 52);
  frame->Run(200);
  user.join();
  frame->Run(100);
  for (int i = 0; i < kPresetFileParams; ++i)
    EXPECT_NEAR(Plain(Vst::ParamID(kPresetFileTags[i].paramIdx)), sound.value[i], 1e-6)
        << kPresetFileTags[i].name;
  EXPECT_TRUE(window.PromptWindows().empty());
  view->removed();
}

TEST_F(EditorViewOnX11, ContentScaleSwitchesTheWindowBetweenBothLayouts)
{
  X11HostWindow large(1100, 1000);
  IPtr<IPlugViewContentScaleSupport> scaling = Query<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  view->setFrame(frame);
  ASSERT_EQ(view->attached(large.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  const Window editor = large.Children().front();
  for (const auto& [factor, width, height] : {std::tuple{2.0f, 1000, 960}, {1.0f, 500, 480}})
  {
    SCOPED_TRACE(factor);
    ASSERT_EQ(scaling->setContentScaleFactor(factor), kResultOk);
    ASSERT_FALSE(frame->Requests().empty());
    EXPECT_EQ(frame->Requests().back().getWidth(), width);
    ExpectPaintedAtSize(large, editor, width, height, [&] { frame->Run(40); });
  }
  EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorViewOnX11, WithoutARunLoopTheViewRunsOnAThreadOfItsOwn)
{
  IPtr<PlugFrame> plainFrame = owned(new PlugFrame);
  view->setFrame(plainFrame);
  ASSERT_EQ(view->attached(window.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  Sleep(100);
  window.Click(Editor(), kVolumeX, kVolumeY, 5); // one wheel notch down
  WaitFor([&] { return controller->getParamNormalized(MainVolume) < 0.8; }, [] { Sleep(10); });
  EXPECT_NEAR(controller->getParamNormalized(MainVolume), 0.79, 1e-9);
  EXPECT_EQ(view->removed(), kResultOk);
  window.Sync();
  EXPECT_EQ(Editor(), 0u);
}

TEST_F(EditorViewOnX11, ContentScaleSwitchesWhileTheEditorThreadDrawsEndAtTheLastSize)
{
  X11HostWindow large(1100, 1000);
  IPtr<IPlugViewContentScaleSupport> scaling = Query<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  IPtr<PlugFrame> plainFrame = owned(new PlugFrame);
  view->setFrame(plainFrame);
  ASSERT_EQ(view->attached(large.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  const Window editor = large.Children().front();
  for (const auto& [last, other, width, height] :
       {std::tuple{2.0f, 1.0f, 1000, 960}, {1.0f, 2.0f, 500, 480}})
  {
    SCOPED_TRACE(last);
    constexpr int kSwitches = 200;
    for (int i = 1; i <= kSwitches; ++i)
    {
      ASSERT_EQ(scaling->setContentScaleFactor(i % 2 == kSwitches % 2 ? last : other), kResultOk);
      Sleep(3);
    }
    EXPECT_EQ(plainFrame->Requests().back().getWidth(), width);
    EXPECT_EQ(plainFrame->Requests().back().getHeight(), height);
    ExpectPaintedAtSize(large, editor, width, height, [] { Sleep(20); });
  }
  EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorViewOnX11, ForeignTypesAndBadParentsCreateNothing)
{
  view->setFrame(frame);
  EXPECT_EQ(view->attached(window.Handle(), kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(
      view->attached(reinterpret_cast<void*>(uintptr_t(0x7ffffff0)), kPlatformTypeX11EmbedWindowID),
      kResultFalse);
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultFalse);
  window.Sync();
  EXPECT_EQ(Editor(), 0u);
  EXPECT_EQ(frame->EventHandlerCount(), 0);
}

TEST_F(EditorViewOnX11, TwoInstancesAndAHostThatDestroysTheParentFirst)
{
  IPtr<Vst::IComponent> second = Create();
  ASSERT_TRUE(second);
  ASSERT_EQ(second->initialize(host->unknownCast()), kResultOk);
  IPtr<IPlugView> secondView =
      owned(Query<Vst::IEditController>(second)->createView(Vst::ViewType::kEditor));
  X11HostWindow secondWindow(600, 560);
  view->setFrame(frame);
  secondView->setFrame(frame);
  ASSERT_EQ(view->attached(window.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  ASSERT_EQ(secondView->attached(secondWindow.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
  EXPECT_EQ(frame->TimerCount(), 2);
  frame->Run(100);
  window.Destroy();
  frame->Run(100);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(secondWindow.Children().size(), 1u) << "the other editor stays";
  EXPECT_EQ(secondView->removed(), kResultOk);
  EXPECT_EQ(frame->TimerCount(), 0);
  secondView = nullptr;
  second->terminate();
}

TEST_F(EditorOnX11ThroughVst2, IdlesDragsClosesAndReopensAtDoubleScale)
{
  EXPECT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, nullptr), 0);
  ASSERT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, window.Handle()), 1);
  const std::vector<Window> children = window.Children();
  ASSERT_EQ(children.size(), 1u);
  const Window editor = children.front();
  Idle(150);
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> first = window.ReadBack(editor, width, height);
  EXPECT_EQ(width, 1000);
  EXPECT_EQ(height, 960);

  host.ClearRecords();
  window.MoveTo(editor, 2 * kVolumeX, 2 * kVolumeY);
  window.Button(1, true);
  Idle(50);
  window.MoveTo(editor, 2 * kVolumeX, 2 * kVolumeY - 32);
  Idle(50);
  window.Button(1, false);
  Idle(50);
  // 32 pixels on an 80-pixel knob at gearing 4: 0.1 more.
  EXPECT_NEAR(effect->getParameter(effect, MainVolume), 0.9f, 1e-6);
  EXPECT_EQ(EditCalls(),
            (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit}));

  EXPECT_EQ(host.Dispatch(effect, effEditClose), 1);
  window.Sync();
  EXPECT_TRUE(window.Children().empty());
  // The host moves the knob back while the editor is closed: reopened, it
  // shows the first picture again.
  effect->setParameter(effect, MainVolume, 0.8f);
  ASSERT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, window.Handle()), 1);
  Idle(150);
  const std::vector<uint32_t> again = window.ReadBack(window.Children().front(), width, height);
  ASSERT_EQ(again.size(), first.size());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      ASSERT_EQ(again[size_t(y * width + x)], first[size_t(y * width + x)]) << x << ", " << y;
}

TEST_F(EditorOnX11ThroughVst2, HostsThatNeverIdleAreServedByTheEditorThread)
{
  ASSERT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, window.Handle()), 1);
  Sleep(150);
  window.Click(window.Children().front(), 2 * kVolumeX, 2 * kVolumeY, 4);
  WaitFor([&] { return effect->getParameter(effect, MainVolume) > 0.8f; }, [] { Sleep(10); });
  EXPECT_NEAR(effect->getParameter(effect, MainVolume), 0.81f, 1e-6);
  window.Destroy();
  Sleep(100);
  EXPECT_EQ(host.Dispatch(effect, effEditClose), 1);
}
