// The LV2 editor in a real X window under Xvfb, loaded and driven as LV2
// hosts drive it: a parent window, the host's resize, touch and port
// write callbacks, idle calls and no thread of its own, real input through
// XTest.

// GoogleTest first: Xlib's macros (Bool, None, Status) would rename its code.
#include <gtest/gtest.h>

#include "lv2_identity.h"
#include "plugin_library.h"
#include "preset_sandbox.h"
#include "x11_host_window.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr int kParams = 27;
constexpr uint32_t kMainVolumePort = kLv2FirstParamPort + 7;
constexpr uint32_t kPresetSelectorPort = kLv2FirstParamPort + 13;
// The centre of the main volume knob at normal scale.
constexpr int kVolumeX = 385;
constexpr int kVolumeY = 139;

int ThreadCount()
{
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                        std::filesystem::directory_iterator()));
}

// What the editor told the host, in order.
struct HostRecord
{
  std::vector<std::pair<int, int>> resizes;
  // (port, grabbed) for touches, (port, value) for writes, in one list.
  struct Call
  {
    bool touch;
    uint32_t port;
    float value;
  };
  std::vector<Call> calls;
  std::map<std::string, LV2_URID> urids;
};

struct ScaleCase
{
  const char* name;
  float scaleFactor; // 0: no option
  int scale;
};

class Lv2UiTest : public ::testing::TestWithParam<ScaleCase>
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    for (const auto& file : std::filesystem::directory_iterator(THUDWERK_FACTORY_PRESETS))
      std::filesystem::copy(file.path(), sandbox.PresetFolder() + "Factory/");
    ASSERT_TRUE(library.IsLoaded()) << library.LoadError();
    auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(
        library.FindSymbol("lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor = entry(0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_STREQ(descriptor->URI, kLv2UiUri);
    EXPECT_EQ(entry(1), nullptr);
    idle =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);
  }

  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri)
  {
    auto& urids = static_cast<HostRecord*>(handle)->urids;
    return urids.emplace(uri, static_cast<LV2_URID>(urids.size() + 1)).first->second;
  }
  static int Resize(LV2UI_Feature_Handle handle, int width, int height)
  {
    static_cast<HostRecord*>(handle)->resizes.emplace_back(width, height);
    return 0;
  }
  static void Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed)
  {
    static_cast<HostRecord*>(handle)->calls.push_back({true, port, grabbed ? 1.0f : 0.0f});
  }
  static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer)
  {
    ASSERT_EQ(size, sizeof(float));
    ASSERT_EQ(protocol, 0u);
    static_cast<HostRecord*>(controller)
        ->calls.push_back({false, port, *static_cast<const float*>(buffer)});
  }

  LV2UI_Handle Instantiate(float scaleFactor, LV2UI_Widget& widget)
  {
    map = {&record, &Map};
    resize = {&record, &Resize};
    touch = {&record, &Touch};
    options[0] = {
        LV2_OPTIONS_INSTANCE,          0,     Map(&record, LV2_UI__scaleFactor), sizeof(float),
        Map(&record, LV2_ATOM__Float), &scale};
    scale = scaleFactor;
    const LV2_Feature parent{LV2_UI__parent, window.Handle()};
    const LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    const LV2_Feature touchFeature{LV2_UI__touch, &touch};
    const LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    const LV2_Feature* features[] = {&parent,
                                     &mapFeature,
                                     &resizeFeature,
                                     &touchFeature,
                                     scaleFactor > 0.0f ? &optionsFeature : nullptr,
                                     nullptr};
    return descriptor->instantiate(descriptor, kLv2PluginUri, THUDWERK_LV2_BUNDLE, &Write, &record,
                                   &widget, features);
  }

  void Idle(LV2UI_Handle ui, int ms)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
    {
      EXPECT_EQ(idle->idle(ui), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  void PortEvent(LV2UI_Handle ui, uint32_t port, float value)
  {
    descriptor->port_event(ui, port, sizeof value, 0, &value);
  }

  PresetSandbox sandbox;
  X11HostWindow window{1000, 960};
  PluginLibrary library{THUDWERK_LV2_BUNDLE "/ThudwerkUI.so"};
  const LV2UI_Descriptor* descriptor = nullptr;
  const LV2UI_Idle_Interface* idle = nullptr;
  HostRecord record;
  LV2_URID_Map map{};
  LV2UI_Resize resize{};
  LV2UI_Touch touch{};
  float scale = 0.0f;
  LV2_Options_Option options[2]{};
};

const ScaleCase kScales[] = {
    {"NoScaleOption", 0.0f, 1},
    {"BelowDoubleScale", 1.25f, 1},
    {"DoubleScale", 2.0f, 2},
};

TEST_P(Lv2UiTest, OpensInParentDragsThroughTouchAndPortWritesAndLeavesNoThread)
{
  const int threadsBefore = ThreadCount();
  const int s = GetParam().scale;
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = Instantiate(GetParam().scaleFactor, widget);
  ASSERT_NE(ui, nullptr);
  // Hosts send every port's value first; values already held are no news.
  for (uint32_t port = kLv2FirstParamPort; port < Lv2EnabledPort(kParams); ++port)
    PortEvent(ui, port, port == kMainVolumePort ? 0.8f : 0.0f);
  const std::vector<Window> children = window.Children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(widget), children.front());
  ASSERT_FALSE(record.resizes.empty());
  EXPECT_EQ(record.resizes.back(), std::make_pair(500 * s, 480 * s));
  Idle(ui, 150);
  record.calls.clear();

  const Window editor = children.front();
  window.MoveTo(editor, s * kVolumeX, s * kVolumeY);
  window.Button(1, true);
  Idle(ui, 50);
  for (int step = 1; step <= 4; ++step)
  {
    window.MoveTo(editor, s * kVolumeX, s * (kVolumeY - 4 * step));
    Idle(ui, 30);
  }
  window.Button(1, false);
  Idle(ui, 50);
  // 16 pixels up on a 40-pixel knob (times the scale) at gearing 4: 0.1 more.
  ASSERT_GE(record.calls.size(), 3u);
  EXPECT_TRUE(record.calls.front().touch);
  EXPECT_EQ(record.calls.front().value, 1.0f);
  EXPECT_TRUE(record.calls.back().touch);
  EXPECT_EQ(record.calls.back().value, 0.0f);
  for (size_t i = 1; i + 1 < record.calls.size(); ++i)
    EXPECT_FALSE(record.calls[i].touch) << i;
  for (const HostRecord::Call& call : record.calls)
    EXPECT_EQ(call.port, kMainVolumePort);
  const float written = record.calls[record.calls.size() - 2].value;
  EXPECT_NEAR(written, 0.9f, 1e-6);

  // The host's echo of the editor's value is no news; a host's preset choice
  // is loaded by the editor too, and its sound goes back out as ports.
  record.calls.clear();
  PortEvent(ui, kMainVolumePort, written);
  EXPECT_TRUE(record.calls.empty());
  PortEvent(ui, kPresetSelectorPort, 1.0f);
  Idle(ui, 50);
  EXPECT_FALSE(record.calls.empty());
  for (const HostRecord::Call& call : record.calls)
  {
    EXPECT_FALSE(call.touch);
    EXPECT_NE(call.port, kPresetSelectorPort);
  }

  descriptor->cleanup(ui);
  window.Sync();
  EXPECT_TRUE(window.Children().empty());
  EXPECT_EQ(ThreadCount(), threadsBefore);
}

INSTANTIATE_TEST_SUITE_P(Scales, Lv2UiTest, ::testing::ValuesIn(kScales),
                         [](const auto& entry) { return std::string(entry.param.name); });
} // namespace
