// The VST2 binary's editor in a real Win32 window, run under Wine with a
// display (Xvfb), as a host opens it.

#include "headless/graphics_headless.h"
#include "kick_engine.h"
#include "layout_table.h"
#include "lice_bitmap.h"
#include "preset_file.h"
#include "preset_name_display.h"
#include "preset_sandbox.h"
#include "thudwerk.h"
#include "vst2_test_host.h"
#include "win32/win_dialog_answers.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace
{
using namespace EngineParam;

class EditorWindowThroughVst2 : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    const std::string welcome = "WLCM - The Deep Diver";
    std::error_code error;
    std::filesystem::copy_file(std::string(THUDWERK_PRESET_SOURCE_DIR) + "/Factory/" + welcome +
                                   ".thudwerkpreset",
                               sandbox.FactoryFile(welcome), error);
    ASSERT_FALSE(error);
    ASSERT_TRUE(host.Library().IsLoaded()) << host.Library().LoadError();
    effect = host.InstantiateAndStart(44100.0, 512);
    ASSERT_NE(effect, nullptr);
    parent = CreateWindowExA(0, "STATIC", "Thudwerk test host", WS_OVERLAPPEDWINDOW, 0, 0, 1100,
                             1050, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
  }

  void TearDown() override
  {
    if (parent) DestroyWindow(parent);
  }

  void ClickAt(HWND window, int x, int y)
  {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  PresetSandbox sandbox;
  Vst2TestHost host{THUDWERK_VST2_PLUGIN_PATH};
  AEffect* effect = nullptr;
  HWND parent = nullptr;
};
} // namespace

TEST_F(EditorWindowThroughVst2, OpensAChildWindowOfTheEditorSizeAndClosesIt)
{
  ASSERT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, parent), 1);
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  RECT client{};
  ASSERT_TRUE(GetClientRect(editor, &client));
  EXPECT_EQ(client.right - client.left, 1000);
  EXPECT_EQ(client.bottom - client.top, 960);
  host.Dispatch(effect, effEditIdle);
  EXPECT_EQ(host.Dispatch(effect, effEditClose), 1);
  EXPECT_FALSE(IsWindow(editor));
}

TEST_F(EditorWindowThroughVst2, ForwardButtonInTheWindowLoadsTheFirstPreset)
{
  std::string line;
  ASSERT_EQ(ReadPresetLastLine(sandbox.FactoryFile("WLCM - The Deep Diver"), line),
            PresetFileRead::kRead);
  const PresetFileValues sound = ParsePresetLine(line);

  ASSERT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, parent), 1);
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  ClickAt(editor, 900, 105); // the forward button, at double scale
  for (int i = 0; i < kPresetFileParams; ++i)
  {
    EXPECT_EQ(effect->getParameter(effect, kPresetFileTags[i].paramIdx), float(sound.value[i]))
        << kPresetFileTags[i].name;
  }
  EXPECT_EQ(host.Dispatch(effect, effEditClose), 1);
}

namespace
{
// Whether the window shows, in rect, the colours the bitmap holds there.
bool WindowShows(HWND window, LICE_IBitmap* bitmap, const IRect& rect)
{
  LICE_SysBitmap shown(rect.W(), rect.H());
  HDC screen = GetDC(window);
  BitBlt(static_cast<HDC>(shown.DeviceContext()), 0, 0, rect.W(), rect.H(), screen, rect.L, rect.T,
         SRCCOPY);
  ReleaseDC(window, screen);
  for (int y = 0; y < rect.H(); ++y)
    for (int x = 0; x < rect.W(); ++x)
      if ((shown.Bits()[y * shown.RowSpan() + x] ^
           bitmap->Bits()[(rect.T + y) * bitmap->RowSpan() + rect.L + x]) &
          0xFFFFFF)
        return false;
  return true;
}
} // namespace

TEST_F(EditorWindowThroughVst2, NamesOutsideTheCodePageSaveLoadAndShow)
{
  ASSERT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, parent), 1);
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  // Only a shown window has pixels to read back.
  ShowWindow(parent, SW_SHOWNA);
  // The instrument's own editor draws the name strip the window must show.
  Thudwerk reference(nullptr);
  auto* drawn = dynamic_cast<IGraphicsHeadless*>(reference.GetEditor());
  auto* name = dynamic_cast<PresetNameDisplay*>(drawn->GetControl(LayoutRow::kPresetName));
  ASSERT_NE(name, nullptr);
  for (const std::string text : {u8"Моя бочка", u8"キック"})
  {
    SCOPED_TRACE(text);
    for (int i = 0; i < kPresetFileParams; ++i)
      effect->setParameter(effect, kPresetFileTags[i].paramIdx, float(i) / 16.0f);
    std::string path = sandbox.UserFile(text);
    std::replace(path.begin(), path.end(), '/', '\\');
    AnswerNextFileDialog(path);
    ClickAt(editor, 960, 105); // save
    std::string line;
    ASSERT_EQ(ReadPresetLastLine(path, line), PresetFileRead::kRead) << "written under its name";
    for (int i = 0; i < kPresetFileParams; ++i)
      effect->setParameter(effect, kPresetFileTags[i].paramIdx, 1.0f);
    AnswerNextFileDialog(path);
    ClickAt(editor, 40, 105); // load
    for (int i = 0; i < kPresetFileParams; ++i)
      EXPECT_EQ(effect->getParameter(effect, kPresetFileTags[i].paramIdx), float(i) / 16.0f);

    name->ShowNameFromAnyThread(text);
    drawn->Tick();
    InvalidateRect(editor, nullptr, FALSE);
    Pump(300);
    EXPECT_TRUE(WindowShows(editor, drawn->GetDrawBitmap(), name->GetRECT()));
  }
  EXPECT_EQ(host.Dispatch(effect, effEditClose), 1);
}
