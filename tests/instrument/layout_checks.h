#pragma once

// Checks of the editor layout shared by the normal- and double-scale test
// programs: each builds the instrument at its own scale with its own images.

#include "instrument_fixture.h"

#include "bitmap_control.h"
#include "common_documents.h"
#include "knob_control.h"
#include "panel_control.h"
#include "preset_paths.h"
#include "preset_selector.h"

#include <string>

inline bool IsKind(IControl* control, ControlKind kind)
{
  switch (kind)
  {
  case ControlKind::kBitmap:
    return dynamic_cast<IBitmapControl*>(control) && !dynamic_cast<ISwitchControl*>(control);
  case ControlKind::kSwitch:
    return dynamic_cast<ISwitchControl*>(control) && !dynamic_cast<IContactControl*>(control);
  case ControlKind::kKnob:
    return dynamic_cast<IKnobMultiControl*>(control) != nullptr;
  case ControlKind::kPanel:
    return dynamic_cast<IPanelControl*>(control) != nullptr;
  case ControlKind::kText:
    return dynamic_cast<ITextControl*>(control) != nullptr;
  case ControlKind::kPresetMenu:
    return dynamic_cast<IPopupMenu_PresetSelector*>(control) != nullptr;
  case ControlKind::kContact:
    return dynamic_cast<IContactControl*>(control) != nullptr;
  case ControlKind::kFileSelector:
    return dynamic_cast<IFileSelectorControl*>(control) != nullptr;
  }
  return false;
}

inline IRect AtScale(const IRect& rect, int scale)
{
  return scale == 2 ? Doubled(rect) : rect;
}

// The control list: kinds, rectangles, parameters and blending.
inline void CheckControlList(IGraphics& gui, int scale)
{
  ASSERT_EQ(gui.NControls(), kExpectedControls);
  EXPECT_EQ(gui.Width(), 500 * scale);
  EXPECT_EQ(gui.Height(), 480 * scale);
  EXPECT_EQ(gui.FPS(), 25);
  for (int row = 0; row < kExpectedControls; ++row)
  {
    IControl* control = gui.GetControl(row);
    const ExpectedControl& expected = kExpectedLayout[row];
    EXPECT_TRUE(IsKind(control, expected.kind)) << "row " << row;
    EXPECT_EQ(control->GetRECT(), AtScale(expected.rect, scale)) << "row " << row;
    EXPECT_EQ(control->ParamIdx(), expected.paramIdx) << "row " << row;
    EXPECT_EQ(control->GetBlend().mMethod, row == 0 ? IBlend::kBlendClobber : IBlend::kBlendNone)
        << "row " << row;
    EXPECT_EQ(control->GetBlend().mWeight, 1.0f) << "row " << row;
    if (auto* knob = dynamic_cast<IKnobMultiControl*>(control))
    {
      EXPECT_EQ(knob->GetDirection(), IKnobControl::kVertical);
      EXPECT_EQ(knob->GetGearing(), 4.0);
      EXPECT_EQ(knob->GetImage().N, 99);
    }
    if (expected.kind == ControlKind::kSwitch)
    {
      EXPECT_EQ(dynamic_cast<ISwitchControl*>(control)->GetImage().N, 2) << "row " << row;
    }
  }
}

// The preset strip: bar colour, name style and text, file selectors.
inline void CheckPresetStrip(IGraphics& gui, int scale)
{
  auto* bar = dynamic_cast<IPanelControl*>(gui.GetControl(15));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetColor(), IRgba(140, 0, 0, 0));

  auto* name = dynamic_cast<ITextControl*>(gui.GetControl(LayoutRow::kPresetName));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->GetTextString(), "< Presets Library >");
  const ITextStyle* style = name->GetText();
  EXPECT_STREQ(style->mFont, "Arial");
  EXPECT_EQ(style->mSize, 20 * scale);
  EXPECT_EQ(style->mColor, IRgba(255, 100, 100, 100));
  EXPECT_EQ(style->mStyle, ITextStyle::kStyleBold);
  EXPECT_EQ(style->mAlign, ITextStyle::kAlignCenter);
  EXPECT_EQ(style->mOrientation, 0);
  EXPECT_EQ(style->mQuality, ITextStyle::kQualityDefault);
  EXPECT_EQ(style->mTextEntryBGColor, COLOR_WHITE);
  EXPECT_EQ(style->mTextEntryFGColor, COLOR_BLACK);

  const std::string promptFolder = PresetPromptFolder(GetCommonDocumentsFolder());
  const int rows[2] = {LayoutRow::kPresetLoad, LayoutRow::kPresetSave};
  const int actions[2] = {IFileSelectorControl::kFileOpen, IFileSelectorControl::kFileSave};
  for (int i = 0; i < 2; ++i)
  {
    auto* selector = dynamic_cast<IFileSelectorControl*>(gui.GetControl(rows[i]));
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->GetAction(), actions[i]);
    EXPECT_EQ(selector->GetExtensions(), "thudwerkpreset");
    EXPECT_EQ(selector->GetFolder(), promptFolder);
    EXPECT_TRUE(selector->GetLastSelectedFileForPlug().empty());
  }
}
