// The normal-scale editor follows a host's content scale: the double-scale
// layout and images from 1.5 on, the normal ones below, keeping what the
// user set and closing an open text entry.
#include "instrument_fixture.h"
#include "knob_control.h"
#include "layout_checks.h"

namespace
{
using namespace EngineParam;
using EditorContentScaleTest = InstrumentTest;

TEST_F(EditorContentScaleTest, LayoutsSwitchKeepingValuesNameAndPresetFiles)
{
  const IRect decayKnob = gui->GetControl(8)->GetRECT();
  DragDown((decayKnob.L + decayKnob.R) / 2, decayKnob.T + 20, 40);
  SoundValues sound;
  MakeSound(4, sound);
  ASSERT_TRUE(WritePreset(sandbox.FactoryFile("ELEC - The Snap G"), sound));
  ChooseFromMenu({3, 19});
  const double decay = ControlValue(BassEnvDecay);
  const std::string name = ShownName();
  const std::string loadPath = Selector(LayoutRow::kPresetLoad)->Path();
  ASSERT_NE(decay, 0.5);
  ASSERT_NE(name, kPresetLibraryTitle);
  gui->QueueTextEntry(std::string("0.9"));
  gui->AskForValueText(gui->GetControl(8), plug->GetParam(BassEnvDecay), decayKnob);
  ASSERT_TRUE(gui->TextEntryPending());

  const struct
  {
    double contentScale;
    int layout;
  } steps[] = {{2.0, 2}, {1.49, 1}, {1.5, 2}, {3.0, 2}, {1.0, 1}, {0.75, 1}};
  for (const auto& step : steps)
  {
    SCOPED_TRACE(step.contentScale);
    ASSERT_TRUE(plug->SetEditorContentScale(step.contentScale));
    CheckControlList(*gui, step.layout);
    EXPECT_EQ(dynamic_cast<IKnobMultiControl*>(gui->GetControl(8))->GetImage().W, 40 * step.layout);
    EXPECT_FALSE(gui->TextEntryPending());
    EXPECT_EQ(ControlValue(BassEnvDecay), decay);
    EXPECT_EQ(ShownName(), name);
    EXPECT_EQ(Selector(LayoutRow::kPresetLoad)->Path(), loadPath);
  }
  // The controls of the new layout work: a drag on the doubled knob.
  ASSERT_TRUE(plug->SetEditorContentScale(2.0));
  DragDown(decayKnob.L + decayKnob.R, 2 * decayKnob.T + 40, 80);
  EXPECT_NE(Value(BassEnvDecay), decay);
  EXPECT_EQ(ControlValue(BassEnvDecay),
            plug->GetParam(BassEnvDecay)->ToNormalized(Value(BassEnvDecay)));
}

} // namespace
