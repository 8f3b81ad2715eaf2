// The VST3 module's editor view in a real Win32 window, run under Wine with
// a display (Xvfb), as a host attaches it.

#include "thudwerk_fixture.h"

#include "pluginterfaces/gui/iplugview.h"

#include <windows.h>

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
