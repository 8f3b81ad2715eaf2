// The VST2 binary's editor in a real Win32 window, run under Wine with a
// display (Xvfb), as a host opens it.

#include "graphics_headless.h"
#include "kick_engine.h"
#include "layout_table.h"
#include "lice_bitmap.h"
#include "preset_file.h"
#include "preset_name_display.h"
#include "preset_sandbox.h"
#include "thudwerk.h"
#include "utf8_file.h"
#include "vst2_test_host.h"
#include "win_dialog_answers.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

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
// The window's pixels in rect, as 0x00RRGGBB.
std::vector<uint32_t> ShownPixels(HWND window, const IRect& rect)
{
  const int width = rect.W();
  const int height = rect.H();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, copy);
  BitBlt(memory, 0, 0, width, height, screen, rect.L, rect.T, SRCCOPY);
  std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                               static_cast<const uint32_t*>(bits) + width * height);
  SelectObject(memory, previous);
  DeleteObject(copy);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  for (uint32_t& pixel : pixels)
    pixel &= 0xFFFFFF;
  return pixels;
}

// The preset name strip as the instrument's own editor draws a name.
std::vector<uint32_t> DrawnName(const std::string& name, IRect& rect)
{
  Thudwerk reference(nullptr);
  auto* gui = dynamic_cast<IGraphicsHeadless*>(reference.GetEditor());
  auto* display = dynamic_cast<PresetNameDisplay*>(gui->GetControl(LayoutRow::kPresetName));
  if (!display) return {};
  display->ShowNameFromAnyThread(name);
  gui->Tick();
  rect = display->GetRECT();
  LICE_IBitmap* bitmap = gui->GetDrawBitmap();
  std::vector<uint32_t> pixels;
  for (int y = rect.T; y < rect.B; ++y)
    for (int x = rect.L; x < rect.R; ++x)
      pixels.push_back(bitmap->Bits()[y * bitmap->RowSpan() + x] & 0xFFFFFF);
  return pixels;
}
} // namespace

TEST_F(EditorWindowThroughVst2, NamesOutsideTheCodePageSaveLoadAndShow)
{
  ASSERT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, parent), 1);
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  for (const std::string name : {u8"Моя бочка", u8"キック"})
  {
    SCOPED_TRACE(name);
    for (int i = 0; i < kPresetFileParams; ++i)
      effect->setParameter(effect, kPresetFileTags[i].paramIdx, float(i) / 16.0f);
    // The save button, and a name typed into the system's save dialog.
    const std::string path = sandbox.UserFile(name);
    std::string nativePath = path;
    std::replace(nativePath.begin(), nativePath.end(), '/', '\\');
    AnswerNextFileDialog(nativePath);
    ClickAt(editor, 960, 105);

    std::string line;
    ASSERT_EQ(ReadPresetLastLine(path, line), PresetFileRead::kRead) << "written under its name";
    for (int i = 0; i < kPresetFileParams; ++i)
      effect->setParameter(effect, kPresetFileTags[i].paramIdx, 1.0f);
    // The load button, and the same name typed into the open dialog.
    AnswerNextFileDialog(nativePath);
    ClickAt(editor, 40, 105);
    for (int i = 0; i < kPresetFileParams; ++i)
      EXPECT_EQ(effect->getParameter(effect, kPresetFileTags[i].paramIdx), float(i) / 16.0f)
          << kPresetFileTags[i].name;

    // Only a shown window has pixels to read back.
    ShowWindow(parent, SW_SHOWNA);
    InvalidateRect(editor, nullptr, FALSE);
    Pump(300);
    IRect nameRect;
    const std::vector<uint32_t> expected = DrawnName(name, nameRect);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(ShownPixels(editor, nameRect) == expected) << "the name strip shows the name";
  }
  EXPECT_EQ(host.Dispatch(effect, effEditClose), 1);
}

TEST_F(EditorWindowThroughVst2, AFailedSaveKeepsTheFileAndTheNameAndSaysSo)
{
  ASSERT_EQ(host.Dispatch(effect, effEditOpen, 0, 0, parent), 1);
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  ShowWindow(parent, SW_SHOWNA);
  const std::string oldText = "<BassAmpLevel>0.25</BassAmpLevel>";
  const struct
  {
    const char* what;
    bool readOnly; // else held open by another program, which refuses the replace
  } cases[] = {{"read-only", true}, {"held open", false}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const std::string path = sandbox.UserFile(u8"Бочка");
    const std::wstring widePath = WideFromUtf8(path);
    ASSERT_TRUE(WriteFileBytes(path, oldText));
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (c.readOnly)
      ASSERT_TRUE(SetFileAttributesW(widePath.c_str(), FILE_ATTRIBUTE_READONLY));
    else
      holder = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
    InvalidateRect(editor, nullptr, FALSE);
    Pump(300);
    const IRect nameRect(120, 86, 880, 130);
    const std::vector<uint32_t> nameBefore = ShownPixels(editor, nameRect);

    std::string nativePath = path;
    std::replace(nativePath.begin(), nativePath.end(), '/', '\\');
    // The save dialog, its question before replacing, then the message.
    AnswerNextDialogs({{nativePath, IDOK}, {"", IDYES}, {"", IDOK}});
    ClickAt(editor, 960, 105);

    if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
    SetFileAttributesW(widePath.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path), oldText);
    ASSERT_EQ(AnsweredMessages().size(), 2u);
    EXPECT_NE(AnsweredMessages()[1].find(u8"Бочка"), std::string::npos) << AnsweredMessages()[1];
    InvalidateRect(editor, nullptr, FALSE);
    Pump(300);
    EXPECT_TRUE(ShownPixels(editor, nameRect) == nameBefore) << "the name was not shown as saved";
    std::error_code error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(
                                std::filesystem::u8path(sandbox.PresetFolder() + "User"), error),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left";
  }
  EXPECT_EQ(host.Dispatch(effect, effEditClose), 1);
}
