#pragma once

#include "control.h"
#include "editor_test_plug.h"
#include "headless/graphics_headless.h"
#include "test_images.h"

#include <gtest/gtest.h>

#include <memory>

// A headless editor of 40 x 40 pixels on a recording plug, with the test
// images. Controls are added first, then Attach hands the editor to the
// plug (which pushes every parameter's value and prepares drawing).
class HeadlessEditorTest : public ::testing::Test
{
protected:
  explicit HeadlessEditorTest(EApiKind api = kApiVST2) : plug(api)
  {
    owned = std::make_unique<IGraphicsHeadless>(&plug, 40, 40);
    graphics = owned.get();
    graphics->SetModuleInstance(TestImageModule());
  }

  void Attach() { plug.AttachEditor(owned.release()); }

  // Clicks at (x, y) with the left button (press and release).
  void Click(int x, int y)
  {
    IMouseKeys left(true, false, false, false, false);
    graphics->OnMouseDown(x, y, &left);
    graphics->OnMouseUp(x, y, &left);
  }

  LICE_pixel Pixel(int x, int y) { return PixelAt(graphics->GetDrawBitmap(), x, y); }

  EditorTestPlug plug;
  std::unique_ptr<IGraphicsHeadless> owned;
  IGraphicsHeadless* graphics;
};

// A control that records the calls it receives.
class RecordingControl : public IControl
{
public:
  RecordingControl(IPlugBase* plug, const IRect& rect, int paramIdx = -1)
      : IControl(plug, rect, paramIdx)
  {
  }

  void OnMouseDown(int x, int y, IMouseKeys* mods) override
  {
    ++downs;
    IControl::OnMouseDown(x, y, mods);
  }
  void OnMouseUp(int, int, IMouseKeys*) override { ++ups; }
  void OnMouseDrag(int, int, int dX, int dY, IMouseKeys*) override
  {
    ++drags;
    lastDX = dX;
    lastDY = dY;
  }
  void OnMouseDblClick(int x, int y, IMouseKeys* mods) override
  {
    ++doubleClicks;
    IControl::OnMouseDblClick(x, y, mods);
  }
  void OnMouseWheel(int, int, IMouseKeys*, int d) override { wheel += d; }
  bool OnKeyDown(int, int, int key) override
  {
    lastKey = key;
    return takesKeys;
  }
  void SetTextFromTextEntry(const char* text) override { enteredText = text; }
  bool Draw(IGraphics*) override
  {
    ++draws;
    return true;
  }

  int downs = 0;
  int ups = 0;
  int drags = 0;
  int lastDX = 0;
  int lastDY = 0;
  int doubleClicks = 0;
  int wheel = 0;
  int lastKey = -1;
  bool takesKeys = true;
  int draws = 0;
  std::string enteredText;
};
