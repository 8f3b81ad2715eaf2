// The LV2 editor in a real X window under Xvfb, driven as LV2 hosts drive
// it: a parent window, the host's resize, touch and port write callbacks,
// idle calls and no thread of its own, real input through XTest.

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
#include <filesystem>
#include <map>
#include <thread>

namespace
{
constexpr uint32_t kMainVolumePort = kLv2FirstParamPort + 7;
// PresetBackward ... PresetSelector.
constexpr uint32_t kFirstPresetPort = kLv2FirstParamPort + 9;
constexpr uint32_t kPresetSelectorPort = kLv2FirstParamPort + 13;
// The centre of the main volume knob at normal scale.
constexpr int kVolumeX = 385;
constexpr int kVolumeY = 139;
// The preset forward key.
constexpr int kForwardX = 450;
constexpr int kForwardY = 52;

// A touch (value 1 grabbed, 0 released) or a port write.
struct HostCall
{
  bool touch;
  uint32_t port;
  float value;
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
    // Loaded once, as hosts keep a UI library for their session.
    static PluginLibrary& library = *new PluginLibrary(THUDWERK_LV2_BUNDLE "/ThudwerkUI.so");
    auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(
        library.FindSymbol("lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr) << library.LoadError();
    descriptor = entry(0);
    ASSERT_TRUE(descriptor && !entry(1));
    EXPECT_STREQ(descriptor->URI, kLv2UiUri);
    idle =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);
  }

  LV2UI_Handle Instantiate(float scaleFactor, LV2UI_Widget& widget)
  {
    scale = scaleFactor;
    options[0] = {LV2_OPTIONS_INSTANCE,
                  0,
                  map.map(map.handle, LV2_UI__scaleFactor),
                  sizeof scale,
                  map.map(map.handle, LV2_ATOM__Float),
                  &scale};
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
    auto write = [](LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer)
    {
      ASSERT_EQ(size, sizeof(float));
      ASSERT_EQ(protocol, 0u);
      static_cast<Lv2UiTest*>(self)->calls.push_back(
          {false, port, *static_cast<const float*>(buffer)});
    };
    return descriptor->instantiate(descriptor, kLv2PluginUri, THUDWERK_LV2_BUNDLE "/", write, this,
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
  const LV2UI_Descriptor* descriptor = nullptr;
  const LV2UI_Idle_Interface* idle = nullptr;
  std::vector<std::pair<int, int>> resizes;
  std::vector<HostCall> calls;
  std::map<std::string, LV2_URID> urids;
  LV2_URID_Map map{&urids, [](LV2_URID_Map_Handle table, const char* uri)
                   {
                     auto& known = *static_cast<std::map<std::string, LV2_URID>*>(table);
                     return known.emplace(uri, LV2_URID(known.size() + 1)).first->second;
                   }};
  LV2UI_Resize resize{&resizes, [](LV2UI_Feature_Handle to, int width, int height)
                      {
                        static_cast<std::vector<std::pair<int, int>>*>(to)->emplace_back(width,
                                                                                         height);
                        return 0;
                      }};
  LV2UI_Touch touch{
      &calls, [](LV2UI_Feature_Handle to, uint32_t port, bool grabbed) {
        static_cast<std::vector<HostCall>*>(to)->push_back({true, port, grabbed ? 1.0f : 0.0f});
      }};
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
  const auto threads = []
  {
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                         std::filesystem::directory_iterator());
  };
  const auto threadsBefore = threads();
  const int s = GetParam().scale;
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = Instantiate(GetParam().scaleFactor, widget);
  ASSERT_NE(ui, nullptr);
  PortEvent(ui, kMainVolumePort, 0.8f);
  const std::vector<Window> children = window.Children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(widget), children.front());
  ASSERT_FALSE(resizes.empty());
  EXPECT_EQ(resizes.back(), std::make_pair(500 * s, 480 * s));
  // Opening and idling write nothing: the host's values stand.
  Idle(ui, 150);
  EXPECT_TRUE(calls.empty());

  window.MoveTo(children.front(), s * kVolumeX, s * kVolumeY);
  window.Button(1, true);
  Idle(ui, 50);
  for (int step = 1; step <= 4; ++step)
  {
    window.MoveTo(children.front(), s * kVolumeX, s * (kVolumeY - 4 * step));
    Idle(ui, 30);
  }
  window.Button(1, false);
  Idle(ui, 50);
  // One gesture: grabbed, writes, released; 16 pixels up (times the scale)
  // on a 40-pixel knob at gearing 4 add 0.1.
  ASSERT_GE(calls.size(), 3u);
  for (size_t i = 0; i < calls.size(); ++i)
  {
    EXPECT_EQ(calls[i].port, kMainVolumePort);
    EXPECT_EQ(calls[i].touch, i == 0 || i + 1 == calls.size()) << i;
  }
  EXPECT_EQ(calls.front().value, 1.0f);
  EXPECT_EQ(calls.back().value, 0.0f);
  const float written = calls[calls.size() - 2].value;
  EXPECT_NEAR(written, 0.9f, 1e-6);

  // The host's echo is no news. The preset forward key and a host's preset
  // choice load presets in the editor: only the sound they give goes out.
  calls.clear();
  PortEvent(ui, kMainVolumePort, written);
  EXPECT_TRUE(calls.empty());
  for (int action = 0; action < 2; ++action)
  {
    calls.clear();
    if (action == 0) window.Click(children.front(), s * kForwardX, s * kForwardY);
    if (action == 1) PortEvent(ui, kPresetSelectorPort, 2.0f);
    Idle(ui, 80);
    EXPECT_FALSE(calls.empty()) << action;
    for (const HostCall& call : calls)
      EXPECT_TRUE(!call.touch && (call.port < kFirstPresetPort || call.port > kPresetSelectorPort))
          << action << " port " << call.port;
  }

  descriptor->cleanup(ui);
  window.Sync();
  EXPECT_TRUE(window.Children().empty());
  EXPECT_EQ(threads(), threadsBefore);
}

INSTANTIATE_TEST_SUITE_P(Scales, Lv2UiTest, ::testing::ValuesIn(kScales),
                         [](const auto& entry) { return std::string(entry.param.name); });
} // namespace
