#include "layout_checks.h"

#include "vst2_interface.h"

namespace
{
using namespace EngineParam;
using EditorLayoutTest = InstrumentTest;

const char* const kMainMenuTexts[] = {
    "< Presets Library >", "WLCM - The Deep Diver", "Factory > EDM",
    "Factory > Electro",   "Factory > New Wave",    "User > User Bank A",
    "User > User Bank B",  "User > User Bank C",    "User > User Bank D"};
const int kBankSizes[] = {0, 0, 18, 20, 7, 25, 25, 25, 25};
} // namespace

TEST_F(EditorLayoutTest, ControlsAreListedAsLaidOut)
{
  CheckControlList(*gui, 1);
}

TEST_F(EditorLayoutTest, PresetStripIsSetUp)
{
  CheckPresetStrip(*gui, 1);
}

TEST_F(EditorLayoutTest, PresetMenuHoldsTheCatalogue)
{
  auto* selector =
      dynamic_cast<IPopupMenu_PresetSelector*>(gui->GetControl(LayoutRow::kPresetMenu));
  ASSERT_NE(selector, nullptr);
  const IMenu& main = selector->MainMenu();
  ASSERT_EQ(main.NItems(), 9);
  EXPECT_EQ(main.Prefix(), IMenu::kPrefixNone);
  for (int item = 0; item < 9; ++item)
  {
    const IMenuItem* entry = main.GetItem(item);
    EXPECT_EQ(entry->Text(), kMainMenuTexts[item]);
    EXPECT_EQ(entry->Flags(), 0);
    const IMenu* bank = entry->Submenu();
    if (kBankSizes[item] == 0)
    {
      EXPECT_EQ(bank, nullptr);
      continue;
    }
    ASSERT_NE(bank, nullptr);
    ASSERT_EQ(bank->NItems(), kBankSizes[item]);
    for (int position = 0; position < bank->NItems(); ++position)
      EXPECT_EQ(bank->GetItem(position)->Flags(), 0);
  }
  EXPECT_EQ(main.GetItem(2)->Submenu()->GetItem(0)->Text(), "EDM - 1990s Dance A");
  EXPECT_EQ(main.GetItem(3)->Submenu()->GetItem(19)->Text(), "ELEC - The Snap G");
  EXPECT_EQ(main.GetItem(4)->Submenu()->GetItem(6)->Text(), "NWAVE - 1980s Processed C");
  EXPECT_EQ(main.GetItem(5)->Submenu()->GetItem(0)->Text(), "USR - Thudwerk User Preset 001");
  EXPECT_EQ(main.GetItem(8)->Submenu()->GetItem(0)->Text(), "USR - Thudwerk User Preset 076");
  EXPECT_EQ(main.GetItem(8)->Submenu()->GetItem(24)->Text(), "USR - Thudwerk User Preset 100");
}

TEST_F(EditorLayoutTest, ClickOnTheNameOpensThePresetMenu)
{
  Click(61, 41);
  EXPECT_EQ(gui->PromptCount(), 1);
  EXPECT_EQ(gui->LastMenuRect(), IRect(60, 40, 440, 65));
  EXPECT_EQ(gui->LastFileAction(), -1);
  Click(439, 64);
  EXPECT_EQ(gui->PromptCount(), 2);
}

TEST_F(EditorLayoutTest, ClicksOnTheButtonsReachTheirSelectors)
{
  Click(1, 41);
  EXPECT_EQ(gui->PromptCount(), 1);
  EXPECT_EQ(gui->LastFileAction(), int(IGraphics::kFileOpen));
  Click(499, 64);
  EXPECT_EQ(gui->PromptCount(), 2);
  EXPECT_EQ(gui->LastFileAction(), int(IGraphics::kFileSave));
}

TEST_F(EditorLayoutTest, ClicksOnTheArrowsStep)
{
  Click(40, 40);
  EXPECT_EQ(plug->CurrentPresetIndex(), -1.0f);
  Click(459, 64);
  Click(459, 64);
  EXPECT_EQ(plug->CurrentPresetIndex(), 1.0f);
  EXPECT_EQ(gui->PromptCount(), 0);
}

TEST_F(EditorLayoutTest, KnobDragReachesTheParameter)
{
  // The BassAmpLevel knob at 1, dragged 80 pixels down of 160 for a full sweep.
  DragDown(115, 391, 80);
  EXPECT_DOUBLE_EQ(Value(BassAmpLevel), 0.5);
  EXPECT_DOUBLE_EQ(EngineValue(BassAmpLevel), 0.5);
}

TEST_F(EditorLayoutTest, ControlsShowTheParametersAtAttach)
{
  EXPECT_EQ(ControlValue(BassEnvDecay), 0.5);
  EXPECT_EQ(ControlValue(MainVolume), 0.8);
  EXPECT_EQ(ControlValue(BassAmpLevel), 1.0);
  EXPECT_EQ(ControlValue(ReverbOffOn), 0.0);
}

TEST_F(EditorLayoutTest, AdapterOffersTheEditor)
{
  AEffect* effect = plug->GetAEffect();
  EXPECT_NE(effect->flags & effFlagsHasEditor, 0);
  ERect* rect = nullptr;
  EXPECT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 500);
  EXPECT_EQ(rect->bottom - rect->top, 480);
}

TEST_F(EditorLayoutTest, DrawsTheWholeEditor)
{
  gui->OpenEditorWindow(nullptr);
  EXPECT_FALSE(gui->Tick().Empty());
  EXPECT_TRUE(gui->WriteDrawBitmapPng(THUDWERK_TEST_OUTPUT_DIR "/editor_1x.png"));

  SoundValues sound;
  MakeSound(4, sound);
  ASSERT_TRUE(WritePreset(sandbox.FactoryFile("ELEC - The Snap G"), sound));
  ChooseFromMenu({3, 19});
  EXPECT_EQ(ShownName(), "ELEC - The Snap G");
  EXPECT_TRUE(gui->WriteDrawBitmapPng(THUDWERK_TEST_OUTPUT_DIR "/editor_1x_preset.png"));
}
