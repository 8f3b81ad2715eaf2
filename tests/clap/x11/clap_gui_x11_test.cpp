// The CLAP editor in a real X window: the layouts the host's scale picks,
// the editor driven by the host's timer and descriptor (or by its own
// thread for hosts without them), a knob drag reaching the host as one
// gesture, and nothing left running after destroy.

#include "clap_fixture.h"
#include "x11_host_window.h"

#include <poll.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <thread>

namespace
{
constexpr clap_id kMainVolume = 7;
// The centre of the main volume knob at normal scale.
constexpr int kVolumeX = 385;
constexpr int kVolumeY = 139;

long ThreadCount()
{
  return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                       std::filesystem::directory_iterator());
}

class ClapEditorOnX11 : public ClapFixture
{
protected:
  explicit ClapEditorOnX11(ClapHostOptions options = {}) : ClapFixture(options) {}

  // One turn of a host's main loop: the registered descriptors that have
  // input, then the timers.
  void Loop(int ms)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
    {
      for (const auto& fd : host.Fds())
      {
        pollfd ready{fd.first, POLLIN, 0};
        if (poll(&ready, 1, 5) > 0) host.FireFd(fd.first, kClapPosixFdRead);
      }
      host.FireTimers();
    }
  }

  Window Editor() const
  {
    const std::vector<Window> children = window.Children();
    return children.empty() ? 0 : children.front();
  }

  bool Open(const clap_plugin_gui_t& gui, ClapInstance& plug)
  {
    clap_window_t parent{};
    parent.api = kClapWindowApiX11;
    parent.x11 = window.Id();
    return gui.create(plug.Plugin(), kClapWindowApiX11, false) &&
           gui.set_parent(plug.Plugin(), &parent) && gui.show(plug.Plugin());
  }

  X11HostWindow window{1000, 960};
};

TEST_F(ClapEditorOnX11, ScalesRunsOnTheHostsLoopSendsGesturesAndLeavesNothingBehind)
{
  ASSERT_TRUE(window.Valid());
  ClapInstance& plug = NewInstance();
  const auto& gui = Ext<clap_plugin_gui_t>(plug, kClapExtGui);
  const long threads = ThreadCount();
  EXPECT_TRUE(gui.is_api_supported(plug.Plugin(), "x11", false));
  EXPECT_FALSE(gui.is_api_supported(plug.Plugin(), "x11", true));
  EXPECT_FALSE(gui.is_api_supported(plug.Plugin(), "win32", false));
  const char* api = nullptr;
  bool floating = true;
  ASSERT_TRUE(gui.get_preferred_api(plug.Plugin(), &api, &floating));
  EXPECT_STREQ(api, "x11");
  EXPECT_FALSE(floating);

  ASSERT_TRUE(gui.create(plug.Plugin(), "x11", false));
  uint32_t width = 0;
  uint32_t height = 0;
  for (const auto& step : {std::make_tuple(1.0, 500u, 480u), std::make_tuple(2.0, 1000u, 960u),
                           std::make_tuple(1.25, 500u, 480u)})
  {
    ASSERT_TRUE(gui.set_scale(plug.Plugin(), std::get<0>(step)));
    ASSERT_TRUE(gui.get_size(plug.Plugin(), &width, &height));
    EXPECT_EQ(width, std::get<1>(step));
    EXPECT_EQ(height, std::get<2>(step));
  }
  EXPECT_EQ(host.GetRecord().resizeRequests, 2);
  EXPECT_EQ(host.GetRecord().resizeWidth, 500u);
  EXPECT_FALSE(gui.set_scale(plug.Plugin(), 0.0));
  gui.destroy(plug.Plugin());

  ASSERT_TRUE(Open(gui, plug));
  ASSERT_EQ(host.Timers().size(), 1u);
  EXPECT_EQ(host.Timers().begin()->second, 40u);
  ASSERT_EQ(host.Fds().size(), 1u);
  EXPECT_EQ(host.Fds().begin()->second, kClapPosixFdRead);
  EXPECT_EQ(ThreadCount(), threads);
  Loop(100);
  const Window editor = Editor();
  ASSERT_NE(editor, 0u);

  const double before = Value(plug, kMainVolume);
  window.MoveTo(editor, kVolumeX, kVolumeY);
  window.Button(1, true);
  Loop(50);
  for (int step = 1; step <= 4; ++step)
  {
    window.MoveTo(editor, kVolumeX, kVolumeY - 4 * step);
    Loop(30);
  }
  window.Button(1, false);
  Loop(50);
  EXPECT_GT(Value(plug, kMainVolume), before);
  EXPECT_GE(host.GetRecord().flushRequests, 1);
  ClapInputEvents none;
  ClapOutputEvents out;
  Ext<clap_plugin_params_t>(plug, kClapExtParams).flush(plug.Plugin(), none.List(), out.List());
  ASSERT_GE(out.Size(), 3u);
  EXPECT_EQ(out.Get(0)->type, kClapEventParamGestureBegin);
  EXPECT_EQ(out.Get(out.Size() - 1)->type, kClapEventParamGestureEnd);
  for (uint32_t i = 1; i + 1 < out.Size(); ++i)
  {
    ASSERT_EQ(out.Get(i)->type, kClapEventParamValue) << i;
    const auto* value = reinterpret_cast<const clap_event_param_value_t*>(out.Get(i));
    EXPECT_EQ(value->param_id, kMainVolume);
    EXPECT_EQ(value->header.flags & kClapEventDontRecord, 0u);
  }

  EXPECT_TRUE(gui.hide(plug.Plugin()));
  gui.destroy(plug.Plugin());
  EXPECT_TRUE(host.Timers().empty());
  EXPECT_TRUE(host.Fds().empty());
  window.Sync();
  EXPECT_EQ(Editor(), 0u);
  EXPECT_EQ(ThreadCount(), threads);
}

class ClapEditorWithoutHostLoop : public ClapEditorOnX11
{
protected:
  ClapEditorWithoutHostLoop() : ClapEditorOnX11(ClapHostOptions{false, false, true}) {}
};

TEST_F(ClapEditorWithoutHostLoop, RunsOnAThreadOfItsOwnUntilDestroyed)
{
  ASSERT_TRUE(window.Valid());
  ClapInstance& plug = NewInstance();
  const auto& gui = Ext<clap_plugin_gui_t>(plug, kClapExtGui);
  const long threads = ThreadCount();
  ASSERT_TRUE(Open(gui, plug));
  EXPECT_EQ(ThreadCount(), threads + 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const double before = Value(plug, kMainVolume);
  window.Click(Editor(), kVolumeX, kVolumeY, 5); // one wheel notch down
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (Value(plug, kMainVolume) == before && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_LT(Value(plug, kMainVolume), before);
  gui.destroy(plug.Plugin());
  EXPECT_EQ(ThreadCount(), threads);
}
} // namespace
