// The VST3 module's editor view in a real Win32 window, run under Wine with
// a display (Xvfb), as a host attaches it.

#include "lice_png.h"
#include "message_pump_win.h"
#include "plug_frame.h"
#include "thudwerk_fixture.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <windows.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

namespace
{
using namespace Steinberg;

class EditorViewThroughVst3 : public ThudwerkTest
{
protected:
  void SetUp() override
  {
    ThudwerkTest::SetUp();
    parent = CreateWindowExA(0, "STATIC", "Thudwerk test host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 560,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
  }

  void TearDown() override
  {
    if (parent) DestroyWindow(parent);
    ThudwerkTest::TearDown();
  }

  HWND parent = nullptr;
};

// A pixel of an editor image file as a Win32 colour.
COLORREF ImagePixel(const std::string& file, int x, int y)
{
  std::ifstream stream(std::string(THUDWERK_EDITOR_IMAGE_DIR) + "/" + file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(stream)),
                          std::istreambuf_iterator<char>());
  std::unique_ptr<LICE_MemBitmap> image(LoadPngFromMemory(bytes.data(), bytes.size()));
  if (!image || x >= image->Width() || y >= image->Height()) return CLR_INVALID;
  const LICE_pixel pixel = image->Bits()[y * image->RowSpan() + x];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
} // namespace

TEST_F(EditorViewThroughVst3, AttachesANormalScaleChildWindowAndRemovesIt)
{
  IPtr<IPlugView> view = owned(controller->createView(Vst::ViewType::kEditor));
  ASSERT_TRUE(view);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.getWidth(), 500);
  EXPECT_EQ(size.getHeight(), 480);

  ASSERT_EQ(view->attached(parent, kPlatformTypeHWND), kResultOk);
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  RECT client{};
  ASSERT_TRUE(GetClientRect(editor, &client));
  EXPECT_EQ(client.right - client.left, 500);
  EXPECT_EQ(client.bottom - client.top, 480);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_FALSE(IsWindow(editor));
}

TEST_F(EditorViewThroughVst3, ContentScaleResizesAndRepaintsTheWindow)
{
  IPtr<IPlugView> view = owned(controller->createView(Vst::ViewType::kEditor));
  ASSERT_TRUE(view);
  IPtr<IPlugViewContentScaleSupport> scaling = Query<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  IPtr<PlugFrame> frame = owned(new PlugFrame);
  view->setFrame(frame);
  ShowWindow(parent, SW_SHOWNORMAL);
  ASSERT_EQ(view->attached(parent, kPlatformTypeHWND), kResultOk);
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);

  // Below the rack shadow only the background shows: its image's pixel.
  const struct
  {
    float factor;
    int width;
    int height;
    const char* background;
  } steps[] = {{2.0f, 1000, 960, "2x/vo_background_0002.png"},
               {1.0f, 500, 480, "1x/vo_background_0002.png"}};
  for (const auto& step : steps)
  {
    SCOPED_TRACE(step.factor);
    ASSERT_EQ(scaling->setContentScaleFactor(step.factor), kResultOk);
    ASSERT_FALSE(frame->Requests().empty());
    EXPECT_EQ(frame->Requests().back().getWidth(), step.width);
    // The host fits its window around the requested size.
    SetWindowPos(parent, nullptr, 0, 0, step.width + 100, step.height + 100,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    ASSERT_TRUE(GetClientRect(editor, &client));
    EXPECT_EQ(client.right - client.left, step.width);
    EXPECT_EQ(client.bottom - client.top, step.height);
    PumpMessages(std::chrono::milliseconds(300));
    RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int x = step.width - 5;
    const int y = step.height - 5;
    HDC dc = GetDC(editor);
    const COLORREF shown = GetPixel(dc, x, y);
    ReleaseDC(editor, dc);
    EXPECT_EQ(shown, ImagePixel(step.background, x, y));
  }
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
}
