// The CLAP editor in a real Win32 window (under Wine with a display): the
// layouts the host's scale picks, a child window in the host's parent, and
// no window left after destroy.

#include "clap_fixture.h"
#include "message_pump_win.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace
{
using ClapEditorOnWin32 = ClapFixture;

TEST_F(ClapEditorOnWin32, ScalesOpensAChildWindowAndClosesIt)
{
  HWND parent = CreateWindowExA(0, "STATIC", "Thudwerk test host", WS_OVERLAPPEDWINDOW, 0, 0, 1100,
                                1000, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  ClapInstance& plug = NewInstance();
  const auto& gui = Ext<clap_plugin_gui_t>(plug, kClapExtGui);
  EXPECT_TRUE(gui.is_api_supported(plug.Plugin(), "win32", false));
  EXPECT_FALSE(gui.is_api_supported(plug.Plugin(), "win32", true));
  EXPECT_FALSE(gui.is_api_supported(plug.Plugin(), "x11", false));
  ASSERT_TRUE(gui.create(plug.Plugin(), "win32", false));
  uint32_t width = 0;
  uint32_t height = 0;
  for (const auto& step : {std::make_tuple(1.0, 500u, 480u), std::make_tuple(2.0, 1000u, 960u)})
  {
    ASSERT_TRUE(gui.set_scale(plug.Plugin(), std::get<0>(step)));
    ASSERT_TRUE(gui.get_size(plug.Plugin(), &width, &height));
    EXPECT_EQ(width, std::get<1>(step));
    EXPECT_EQ(height, std::get<2>(step));
  }
  EXPECT_EQ(host.GetRecord().resizeRequests, 1);

  clap_window_t window{};
  window.api = kClapWindowApiWin32;
  window.win32 = parent;
  ASSERT_TRUE(gui.set_parent(plug.Plugin(), &window));
  EXPECT_TRUE(gui.show(plug.Plugin()));
  PumpMessages(std::chrono::milliseconds(150));
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  RECT rect{};
  GetClientRect(editor, &rect);
  EXPECT_EQ(rect.right - rect.left, 1000);
  EXPECT_EQ(rect.bottom - rect.top, 960);
  EXPECT_TRUE(gui.hide(plug.Plugin()));
  gui.destroy(plug.Plugin());
  PumpMessages(std::chrono::milliseconds(50));
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
  DestroyWindow(parent);
}
} // namespace
