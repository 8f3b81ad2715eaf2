#include "layout_checks.h"

namespace
{
using EditorLayoutDoubleTest = InstrumentTest;
}

TEST_F(EditorLayoutDoubleTest, EveryRectangleIsTwiceTheNormalOne)
{
  CheckControlList(*gui, 2);
}

TEST_F(EditorLayoutDoubleTest, PresetNameUsesFontSize40)
{
  CheckPresetStrip(*gui, 2);
}

TEST_F(EditorLayoutDoubleTest, ClicksHitTheDoubledAreas)
{
  Click(122, 82);
  EXPECT_EQ(gui->PromptCount(), 1);
  EXPECT_EQ(gui->LastMenuRect(), IRect(120, 80, 880, 130));
  Click(2, 82);
  EXPECT_EQ(gui->LastFileAction(), int(IGraphics::kFileOpen));
  Click(998, 128);
  EXPECT_EQ(gui->LastFileAction(), int(IGraphics::kFileSave));
  EXPECT_EQ(gui->PromptCount(), 3);
  Click(918, 128);
  EXPECT_EQ(plug->CurrentPresetIndex(), 1.0f);
}

TEST_F(EditorLayoutDoubleTest, KnobSweepTakes320Pixels)
{
  // The BassAmpLevel knob at 1, dragged 80 pixels down of 320 for a full sweep.
  DragDown(230, 782, 80);
  EXPECT_DOUBLE_EQ(Value(EngineParam::BassAmpLevel), 0.75);
}

TEST_F(EditorLayoutDoubleTest, DrawsTheWholeEditor)
{
  gui->OpenEditorWindow(nullptr);
  EXPECT_FALSE(gui->Tick().Empty());
  EXPECT_TRUE(gui->WriteDrawBitmapPng(THUDWERK_TEST_OUTPUT_DIR "/editor_2x.png"));
}
