#pragma once

// An instrument built in-process with the headless editor, whose prompts
// answer from queues, over a preset folder of the test's own.

#include "headless/graphics_headless.h"
#include "layout_table.h"
#include "preset_file.h"
#include "preset_file_selector.h"
#include "preset_sandbox.h"
#include "text_control.h"
#include "thudwerk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using SoundValues = double[kPresetFileParams];

class InstrumentTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    plug = std::make_unique<Thudwerk>(nullptr);
    gui = dynamic_cast<IGraphicsHeadless*>(plug->GetEditor());
    ASSERT_NE(gui, nullptr);
    ASSERT_EQ(gui->NControls(), kExpectedControls);
  }

  // A left click (press and release) at a point.
  void Click(int x, int y)
  {
    IMouseKeys left(true, false, false, false, false);
    gui->OnMouseDown(x, y, &left);
    gui->OnMouseUp(x, y, &left);
  }
  // Presses at a point, drags dy pixels down and releases.
  void DragDown(int x, int y, int dy)
  {
    IMouseKeys left(true, false, false, false, false);
    gui->OnMouseDown(x, y, &left);
    gui->OnMouseDrag(x, y + dy, &left);
    gui->OnMouseUp(x, y + dy, &left);
  }
  void ClickRow(int row)
  {
    const IRect& rect = gui->GetControl(row)->GetRECT();
    Click((rect.L + rect.R) / 2, (rect.T + rect.B) / 2);
  }
  void ChooseFromMenu(std::vector<int> path)
  {
    gui->QueueMenuChoice(std::move(path));
    ClickRow(LayoutRow::kPresetMenu);
  }

  double Value(int paramIdx) { return plug->GetParam(paramIdx)->Value(); }
  double EngineValue(int paramIdx) { return EngineGetParam(plug->Engine(), paramIdx); }
  // The value shown by the knob or switch bound to a parameter at the next
  // redraw (values from the preset worker reach the controls there).
  double ControlValue(int paramIdx)
  {
    gui->Tick();
    for (int i = 0; i < gui->NControls(); ++i)
      if (gui->GetControl(i)->ParamIdx() == paramIdx) return gui->GetControl(i)->GetValue();
    ADD_FAILURE() << "no control for parameter " << paramIdx;
    return -1.0;
  }
  // The preset name as the next redraw shows it.
  std::string ShownName()
  {
    gui->Tick();
    return dynamic_cast<ITextControl*>(gui->GetControl(LayoutRow::kPresetName))->GetTextString();
  }
  PresetFileSelector* Selector(int row)
  {
    return dynamic_cast<PresetFileSelector*>(gui->GetControl(row));
  }

  // Sets the ten sound parameters as the host would.
  void SetSound(const SoundValues& values)
  {
    for (int i = 0; i < kPresetFileParams; ++i)
    {
      plug->GetParam(kPresetFileTags[i].paramIdx)->SetClamped(values[i]);
      plug->HandleParamChange(kPresetFileTags[i].paramIdx);
    }
  }
  // A host's change of a parameter to a plain value, and the preset file
  // work it asks for done.
  void HostSet(int paramIdx, double plain)
  {
    IPlugParam* param = plug->GetParam(paramIdx);
    param->SetFromNormalized(param->ToNormalized(plain));
    plug->HandleParamChange(paramIdx);
    plug->RunDeferredWork();
  }

  // Host value, engine value and the bound control all hold each value
  // (values that are exact in single precision and within 0 to 1).
  void ExpectSound(const SoundValues& values, const char* context)
  {
    for (int i = 0; i < kPresetFileParams; ++i)
    {
      const int paramIdx = kPresetFileTags[i].paramIdx;
      EXPECT_EQ(Value(paramIdx), values[i]) << context << ": " << kPresetFileTags[i].name;
      EXPECT_EQ(EngineValue(paramIdx), values[i]) << context << ": " << kPresetFileTags[i].name;
      EXPECT_EQ(ControlValue(paramIdx), values[i]) << context << ": " << kPresetFileTags[i].name;
    }
  }

  // Distinct sounds for distinct seeds, every value a multiple of 1/8.
  static void MakeSound(int seed, SoundValues& values)
  {
    for (int i = 0; i < kPresetFileParams; ++i)
      values[i] = ((seed * 5 + i * 3) % 9) / 8.0;
  }
  static bool WritePreset(const std::string& path, const SoundValues& values)
  {
    return WriteFileBytes(path, PresetFileText(values));
  }

  PresetSandbox sandbox;
  std::unique_ptr<Thudwerk> plug;
  IGraphicsHeadless* gui = nullptr;
};
