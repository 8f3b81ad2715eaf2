#include "instrument_fixture.h"

#include <cmath>

namespace
{
using namespace EngineParam;

constexpr const char* kTitle = "< Presets Library >";
// Positions in the selector's main menu, and of the Electro bank's last item.
constexpr int kMainLibrary = 0;
constexpr int kMainWelcome = 1;
constexpr int kMainEdm = 2;
constexpr int kMainElectro = 3;
constexpr int kMainUserD = 8;

class PresetLibraryTest : public InstrumentTest
{
protected:
  // Writes a distinct sound into a catalogue file and returns it.
  void InstallFactory(const std::string& name, int seed, SoundValues& values)
  {
    MakeSound(seed, values);
    ASSERT_TRUE(WritePreset(sandbox.FactoryFile(name), values));
  }
};
} // namespace

TEST_F(PresetLibraryTest, StartsWithDefaultsAndTheLibraryTitle)
{
  EXPECT_EQ(ShownName(), kTitle);
  EXPECT_EQ(plug->CurrentPresetIndex(), 0.0f);
  EXPECT_TRUE(Selector(LayoutRow::kPresetLoad)->Path().empty());
  EXPECT_TRUE(Selector(LayoutRow::kPresetSave)->Path().empty());
  EXPECT_EQ(Value(BassEnvDecay), 0.5);
  EXPECT_EQ(Value(MainVolume), 0.8);
}

TEST_F(PresetLibraryTest, MenuOffersTheCatalogueBelowTheNameArea)
{
  ChooseFromMenu({});
  EXPECT_EQ(gui->PromptCount(), 1);
  EXPECT_EQ(gui->LastMenuRect(), IRect(60, 40, 440, 65));
  EXPECT_EQ(ShownName(), kTitle);
  EXPECT_EQ(plug->CurrentPresetIndex(), 0.0f);
}

TEST_F(PresetLibraryTest, MenuChoiceLoadsTheFactoryFileEverywhere)
{
  SoundValues dance;
  InstallFactory("EDM - 1990s Dance A", 3, dance);
  plug->GetParam(Voice00_NoteGate)->SetClamped(1.0);

  ChooseFromMenu({kMainEdm, 0});
  ExpectSound(dance, "EDM - 1990s Dance A");
  EXPECT_EQ(ShownName(), "EDM - 1990s Dance A");
  EXPECT_EQ(plug->CurrentPresetIndex(), 2.0f);
  EXPECT_EQ(Value(PresetSelector), 0.0);
  EXPECT_EQ(EngineValue(PresetSelector), 0.0);
  EXPECT_EQ(Value(Voice00_NoteGate), 0.0) << "a selection forgets the notes";
  EXPECT_EQ(Selector(LayoutRow::kPresetLoad)->Path(), sandbox.FactoryFile("EDM - 1990s Dance A"));
}

TEST_F(PresetLibraryTest, LoadingLeavesTheOtherParametersAlone)
{
  SoundValues sound;
  InstallFactory("WLCM - The Deep Diver", 1, sound);
  HostSet(VelAmpOffOn, 1.0);
  HostSet(HostTempoBpm, 90.0);
  ChooseFromMenu({kMainWelcome});
  EXPECT_EQ(Value(VelAmpOffOn), 1.0);
  EXPECT_EQ(Value(HostTempoBpm), 90.0);
  EXPECT_EQ(Value(MidiChannelInput), 1.0);
  EXPECT_EQ(Value(VoiceRetrigOffOn), 1.0);
  EXPECT_EQ(plug->CurrentPresetIndex(), 1.0f);
}

TEST_F(PresetLibraryTest, ChoosingTheTitleLoadsNothingAndRestsAtZero)
{
  SoundValues sound;
  InstallFactory("WLCM - The Deep Diver", 1, sound);
  ChooseFromMenu({kMainWelcome});
  ASSERT_EQ(plug->CurrentPresetIndex(), 1.0f);
  ChooseFromMenu({kMainLibrary});
  EXPECT_EQ(plug->CurrentPresetIndex(), 0.0f);
  EXPECT_EQ(ShownName(), "WLCM - The Deep Diver");
  EXPECT_EQ(Selector(LayoutRow::kPresetLoad)->Path(), sandbox.PresetFolder());
  ExpectSound(sound, "unchanged");
}

TEST_F(PresetLibraryTest, StepsFromAFreshInstance)
{
  SoundValues welcome;
  InstallFactory("WLCM - The Deep Diver", 2, welcome);
  ClickRow(LayoutRow::kPresetForward);
  EXPECT_EQ(plug->CurrentPresetIndex(), 1.0f);
  ExpectSound(welcome, "forward from 0");
  EXPECT_EQ(ShownName(), "WLCM - The Deep Diver");
  EXPECT_EQ(Value(PresetForward), 0.0) << "the button's release";

  ClickRow(LayoutRow::kPresetBackward);
  EXPECT_EQ(plug->CurrentPresetIndex(), 0.0f);
  ClickRow(LayoutRow::kPresetBackward);
  EXPECT_EQ(plug->CurrentPresetIndex(), -1.0f);
  ClickRow(LayoutRow::kPresetBackward);
  EXPECT_EQ(plug->CurrentPresetIndex(), -1.0f) << "no wrap-around";
  EXPECT_EQ(Value(PresetSelector), 0.0);

  HostSet(MainVolume, 0.125);
  ClickRow(LayoutRow::kPresetForward);
  ClickRow(LayoutRow::kPresetForward);
  EXPECT_EQ(plug->CurrentPresetIndex(), 1.0f);
  ExpectSound(welcome, "two steps forward from -1");
}

TEST_F(PresetLibraryTest, BackwardFromAFreshInstanceLoadsNothing)
{
  SoundValues welcome;
  InstallFactory("WLCM - The Deep Diver", 2, welcome);
  ClickRow(LayoutRow::kPresetBackward);
  EXPECT_EQ(plug->CurrentPresetIndex(), -1.0f);
  EXPECT_EQ(ShownName(), kTitle);
  EXPECT_EQ(Value(BassEnvDecay), 0.5);
}

TEST_F(PresetLibraryTest, StepsCrossBanks)
{
  SoundValues snapG;
  SoundValues discoA;
  InstallFactory("ELEC - The Snap G", 4, snapG);
  InstallFactory("NWAVE - 1980s Disco A", 5, discoA);
  ChooseFromMenu({kMainElectro, 19});
  EXPECT_EQ(plug->CurrentPresetIndex(), 39.0f);
  ExpectSound(snapG, "menu");
  ClickRow(LayoutRow::kPresetForward);
  EXPECT_EQ(plug->CurrentPresetIndex(), 40.0f);
  ExpectSound(discoA, "forward");
  EXPECT_EQ(ShownName(), "NWAVE - 1980s Disco A");
  ClickRow(LayoutRow::kPresetBackward);
  EXPECT_EQ(plug->CurrentPresetIndex(), 39.0f);
  ExpectSound(snapG, "backward");
  EXPECT_EQ(ShownName(), "ELEC - The Snap G");
}

TEST_F(PresetLibraryTest, StepsPastTheLastUserSlotAndBack)
{
  SoundValues slot100;
  MakeSound(6, slot100);
  ASSERT_TRUE(WritePreset(sandbox.UserFile("USR - Thudwerk User Preset 100"), slot100));
  ChooseFromMenu({kMainUserD, 24});
  EXPECT_EQ(plug->CurrentPresetIndex(), 146.0f);
  ExpectSound(slot100, "slot 100");

  HostSet(BassAmpLevel, 0.0);
  ClickRow(LayoutRow::kPresetForward);
  EXPECT_EQ(plug->CurrentPresetIndex(), 147.0f);
  EXPECT_EQ(Value(BassAmpLevel), 0.0) << "index 147 names no preset";
  ClickRow(LayoutRow::kPresetBackward);
  EXPECT_EQ(plug->CurrentPresetIndex(), 146.0f);
  ExpectSound(slot100, "back to slot 100");
}

TEST_F(PresetLibraryTest, EmptyUserSlotMovesTheIndexOnly)
{
  SoundValues welcome;
  InstallFactory("WLCM - The Deep Diver", 2, welcome);
  ChooseFromMenu({kMainWelcome});
  ChooseFromMenu({5, 0});
  EXPECT_EQ(plug->CurrentPresetIndex(), 47.0f);
  EXPECT_EQ(ShownName(), "WLCM - The Deep Diver");
  ExpectSound(welcome, "unchanged");
}

TEST_F(PresetLibraryTest, HostSelectionRoundsTheIndexAndRestsAtZero)
{
  // 5.4 names index 5, the fourth preset of the EDM bank.
  SoundValues danceD;
  InstallFactory("EDM - 1990s Dance D", 7, danceD);
  HostSet(PresetSelector, 5.4);
  EXPECT_FLOAT_EQ(plug->CurrentPresetIndex(), 5.4f);
  ExpectSound(danceD, "host selection");
  EXPECT_EQ(Value(PresetSelector), 0.0);
  EXPECT_EQ(EngineValue(PresetSelector), 0.0);
}

TEST_F(PresetLibraryTest, StepButtonsActOnExactlyOneOnly)
{
  SoundValues welcome;
  InstallFactory("WLCM - The Deep Diver", 2, welcome);
  HostSet(PresetForward, 0.5);
  HostSet(PresetForward, 0.0);
  HostSet(PresetBackward, 0.99999);
  EXPECT_EQ(plug->CurrentPresetIndex(), 0.0f);
  EXPECT_EQ(Value(BassEnvDecay), 0.5);
  HostSet(PresetForward, 1.0);
  EXPECT_EQ(plug->CurrentPresetIndex(), 1.0f);
  ExpectSound(welcome, "host step");
}

TEST_F(PresetLibraryTest, LoadPromptReadsAnyFileAndKeepsTheIndex)
{
  SoundValues sound;
  MakeSound(8, sound);
  const std::string path = sandbox.PresetFolder() + "My.Kick.thudwerkpreset";
  ASSERT_TRUE(WritePreset(path, sound));
  ChooseFromMenu({kMainEdm, 3});
  const std::string promptFolder = Selector(LayoutRow::kPresetLoad)->GetFolder();

  gui->QueueFileChoice(path);
  ClickRow(LayoutRow::kPresetLoad);
  EXPECT_EQ(gui->LastFileAction(), int(IGraphics::kFileOpen));
  EXPECT_EQ(gui->LastFileExtensions(), "thudwerkpreset");
  ExpectSound(sound, "load prompt");
  EXPECT_EQ(ShownName(), "My.Kick");
  EXPECT_EQ(plug->CurrentPresetIndex(), 5.0f);
  EXPECT_EQ(Selector(LayoutRow::kPresetLoad)->Path(), path);
  EXPECT_NE(Selector(LayoutRow::kPresetLoad)->GetFolder(), promptFolder)
      << "the next prompt starts in the chosen file's folder";
}

TEST_F(PresetLibraryTest, CancelledLoadPromptChangesNothing)
{
  SoundValues sound;
  InstallFactory("WLCM - The Deep Diver", 2, sound);
  ChooseFromMenu({kMainWelcome});
  const double before = Selector(LayoutRow::kPresetLoad)->GetValue();
  ClickRow(LayoutRow::kPresetLoad);
  EXPECT_EQ(gui->LastFileAction(), int(IGraphics::kFileOpen));
  EXPECT_NE(Selector(LayoutRow::kPresetLoad)->GetValue(), before) << "every use reports";
  EXPECT_TRUE(Selector(LayoutRow::kPresetLoad)->Path().empty());
  ExpectSound(sound, "cancelled");
  EXPECT_EQ(ShownName(), "WLCM - The Deep Diver");
}

TEST_F(PresetLibraryTest, SavePromptWritesTheTenValuesAndRoundTrips)
{
  const SoundValues saved = {0.25, 0.125, 0.75, 0.5, 0.625, 1.0, 0.375, 0.875, 0.0625, 0.5};
  SetSound(saved);
  const std::string path = sandbox.UserFile("USR - Thudwerk User Preset 001");
  gui->QueueFileChoice(path);
  ClickRow(LayoutRow::kPresetSave);
  EXPECT_EQ(gui->LastFileAction(), int(IGraphics::kFileSave));
  EXPECT_EQ(gui->LastFileExtensions(), "thudwerkpreset");
  EXPECT_EQ(ReadFileBytes(path), PresetFileText(saved));
  EXPECT_EQ(ShownName(), "USR - Thudwerk User Preset 001");

  SoundValues other;
  MakeSound(9, other);
  SetSound(other);
  ChooseFromMenu({5, 0});
  EXPECT_EQ(plug->CurrentPresetIndex(), 47.0f);
  ExpectSound(saved, "user slot 1 after saving");
}

TEST_F(PresetLibraryTest, SavedValuesKeepSixDigits)
{
  HostSet(BassEnvDecay, 0.123456789);
  const std::string path = sandbox.UserFile("digits");
  gui->QueueFileChoice(path);
  ClickRow(LayoutRow::kPresetSave);
  EXPECT_NE(ReadFileBytes(path).find("<BassEnvDecay>0.123457</BassEnvDecay>"), std::string::npos);
  gui->QueueFileChoice(path);
  ClickRow(LayoutRow::kPresetLoad);
  EXPECT_EQ(Value(BassEnvDecay), double(0.123457f));
}

TEST_F(PresetLibraryTest, CancelledOrFailedSavesWriteNothing)
{
  ClickRow(LayoutRow::kPresetSave);
  EXPECT_EQ(ShownName(), kTitle);

  const std::string inMissingFolder = sandbox.PresetFolder() + "Missing/Lost Kick.thudwerkpreset";
  gui->QueueFileChoice(inMissingFolder);
  ClickRow(LayoutRow::kPresetSave);
  EXPECT_FALSE(FileExists(inMissingFolder));
  EXPECT_EQ(ShownName(), "Lost Kick") << "the name follows the chosen file anyway";
}

TEST_F(PresetLibraryTest, OnlyTheSavePromptWrites)
{
  const std::string path = sandbox.UserFile("kept");
  gui->QueueFileChoice(path);
  ClickRow(LayoutRow::kPresetSave);
  const std::string written = ReadFileBytes(path);
  ASSERT_FALSE(written.empty());

  HostSet(BassAmpLevel, 0.25);
  HostSet(PresetSave, 1.0);
  HostSet(PresetSave, 0.0);
  ByteChunk state;
  ASSERT_TRUE(plug->SerializeParams(state));
  EXPECT_GT(plug->UnserializeParams(state, 0), 0);
  EXPECT_EQ(ReadFileBytes(path), written);
}

TEST_F(PresetLibraryTest, RestoredStateIsExactlyWhatWasSaved)
{
  SoundValues sound;
  InstallFactory("EDM - Hard Trance B", 10, sound);
  HostSet(PresetSelector, 13.0);
  ExpectSound(sound, "selected");
  ByteChunk state;
  HostSet(BassEnvDecay, 0.0);
  ASSERT_TRUE(plug->SerializeParams(state));
  HostSet(BassEnvDecay, 0.75);
  // No preset action runs: the file is not read again over the saved sound.
  EXPECT_GT(plug->UnserializeParams(state, 0), 0);
  plug->RunDeferredWork();
  EXPECT_EQ(Value(BassEnvDecay), 0.0);
  EXPECT_EQ(EngineValue(BassEnvDecay), 0.0);
  EXPECT_EQ(plug->CurrentPresetIndex(), 13.0f);
}

TEST_F(PresetLibraryTest, FreshRestoreReadsNothing)
{
  ByteChunk state;
  HostSet(BassEnvDecay, 0.25);
  ASSERT_TRUE(plug->SerializeParams(state));
  Thudwerk other(nullptr);
  EXPECT_GT(other.UnserializeParams(state, 0), 0);
  EXPECT_EQ(other.GetParam(BassEnvDecay)->Value(), 0.25);
}

TEST_F(PresetLibraryTest, LongNamesAreCut)
{
  const std::string forty = "Forty Characters Of Kick Drum Name 12345";
  ASSERT_EQ(forty.size(), 40u);
  SoundValues sound;
  MakeSound(1, sound);
  const std::string path = sandbox.UserFile(forty);
  ASSERT_TRUE(WritePreset(path, sound));
  gui->QueueFileChoice(path);
  ClickRow(LayoutRow::kPresetLoad);
  EXPECT_EQ(ShownName(), forty.substr(0, 35) + "...");
}

TEST_F(PresetLibraryTest, OutOfRangeValuesAreLimitedButReachTheControls)
{
  const std::string path = sandbox.UserFile("wild");
  ASSERT_TRUE(WriteFileBytes(path, "<BassAmpLevel>1.5</BassAmpLevel><BassEnvDecay>-3</BassEnvDecay>"
                                   "<MainVolume>1e39</MainVolume><SnapPitchAmt>-0</SnapPitchAmt>"
                                   "<BassPitchAmt>nan</BassPitchAmt><SnapAmpLevel></SnapAmpLevel>"
                                   "<TransistorDistLoad>1e999</TransistorDistLoad>"));
  HostSet(BassPitchAmt, 0.25);
  HostSet(SnapPitchAmt, 0.5);
  gui->QueueFileChoice(path);
  ClickRow(LayoutRow::kPresetLoad);
  EXPECT_EQ(Value(BassAmpLevel), 1.0);
  EXPECT_EQ(EngineValue(BassAmpLevel), 1.0);
  EXPECT_EQ(Value(BassEnvDecay), 0.0);
  EXPECT_EQ(EngineValue(BassEnvDecay), 0.0);
  EXPECT_EQ(Value(MainVolume), 1.0);
  EXPECT_EQ(Value(SnapPitchAmt), 0.0);
  EXPECT_FALSE(std::signbit(Value(SnapPitchAmt)));
  EXPECT_EQ(Value(BassPitchAmt), 0.25) << "not a number: unchanged";
  EXPECT_EQ(Value(SnapAmpLevel), 1.0) << "empty: unchanged";
  EXPECT_EQ(Value(TransistorDistLoad), 0.0) << "beyond double range: unchanged";
  // The knob receives 1.5 and shows its last frame.
  EXPECT_GE(ControlValue(BassAmpLevel), 1.0);
  EXPECT_EQ(ShownName(), "wild");
}

TEST_F(PresetLibraryTest, UnreadableFilesChangeNothing)
{
  SoundValues sound;
  MakeSound(3, sound);
  SetSound(sound);
  const std::string endsWithBreak = sandbox.UserFile("break");
  ASSERT_TRUE(WriteFileBytes(endsWithBreak, PresetFileText(sound) + "\n"));
  const std::string oversized = sandbox.UserFile("huge");
  ASSERT_TRUE(WriteFileBytes(oversized, std::string(kMaxPresetFileBytes, ' ') +
                                            "<BassAmpLevel>0</BassAmpLevel>"));
  for (const std::string& path :
       {endsWithBreak, oversized, sandbox.UserFile("absent"), sandbox.PresetFolder()})
  {
    gui->QueueFileChoice(path);
    ClickRow(LayoutRow::kPresetLoad);
    EXPECT_EQ(ShownName(), kTitle) << path;
    for (int i = 0; i < kPresetFileParams; ++i)
      EXPECT_EQ(Value(kPresetFileTags[i].paramIdx), sound[i]) << path;
  }
}

TEST_F(PresetLibraryTest, MultiLineFilesLoadTheirLastLine)
{
  SoundValues first;
  SoundValues last;
  MakeSound(1, first);
  MakeSound(2, last);
  const std::string path = sandbox.UserFile("lines");
  ASSERT_TRUE(WriteFileBytes(path, PresetFileText(first) + "\r\n" + PresetFileText(last)));
  gui->QueueFileChoice(path);
  ClickRow(LayoutRow::kPresetLoad);
  ExpectSound(last, "last line");
}
