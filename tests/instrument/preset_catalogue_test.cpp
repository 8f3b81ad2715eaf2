#include "preset_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
std::string PathOf(int index)
{
  char path[128];
  return PresetRelativePath(index, path, sizeof(path)) ? std::string(path) : std::string("<none>");
}

std::string NameOf(int index)
{
  char name[64];
  return PresetName(index, name, sizeof(name)) ? std::string(name) : std::string("<none>");
}
} // namespace

TEST(PresetCatalogue, SelectorValuesRoundHalfUpTowardZero)
{
  EXPECT_EQ(PresetIndexFromValue(0.0), 0);
  EXPECT_EQ(PresetIndexFromValue(-1.0), 0);
  EXPECT_EQ(PresetIndexFromValue(-0.6), 0);
  EXPECT_EQ(PresetIndexFromValue(0.5), 1);
  EXPECT_EQ(PresetIndexFromValue(46.49), 46);
  EXPECT_EQ(PresetIndexFromValue(46.5), 47);
  EXPECT_EQ(PresetIndexFromValue(5.4), 5);
  EXPECT_EQ(PresetIndexFromValue(10000.0), 10000);
  EXPECT_EQ(PresetIndexFromValue(1e300), 0);
  EXPECT_EQ(PresetIndexFromValue(std::nan("")), 0);
}

TEST(PresetCatalogue, OnlyIndicesOneTo146NameAPreset)
{
  EXPECT_FALSE(NamesPreset(-1));
  EXPECT_FALSE(NamesPreset(0));
  EXPECT_TRUE(NamesPreset(1));
  EXPECT_TRUE(NamesPreset(146));
  EXPECT_FALSE(NamesPreset(147));
  EXPECT_EQ(PathOf(0), "<none>");
  EXPECT_EQ(PathOf(147), "<none>");
  EXPECT_EQ(PathOf(10000), "<none>");
}

TEST(PresetCatalogue, RelativePathsOfFactoryAndUserPresets)
{
  EXPECT_EQ(PathOf(1), "Factory/WLCM - The Deep Diver.thudwerkpreset");
  EXPECT_EQ(PathOf(2), "Factory/EDM - 1990s Dance A.thudwerkpreset");
  EXPECT_EQ(PathOf(5), "Factory/EDM - 1990s Dance D.thudwerkpreset");
  EXPECT_EQ(PathOf(6), "Factory/EDM - 1990s Processed A.thudwerkpreset");
  EXPECT_EQ(PathOf(19), "Factory/EDM - Solid Trance C.thudwerkpreset");
  EXPECT_EQ(PathOf(20), "Factory/ELEC - Delayed A.thudwerkpreset");
  EXPECT_EQ(PathOf(39), "Factory/ELEC - The Snap G.thudwerkpreset");
  EXPECT_EQ(PathOf(40), "Factory/NWAVE - 1980s Disco A.thudwerkpreset");
  EXPECT_EQ(PathOf(46), "Factory/NWAVE - 1980s Processed C.thudwerkpreset");
  EXPECT_EQ(PathOf(47), "User/USR - Thudwerk User Preset 001.thudwerkpreset");
  EXPECT_EQ(PathOf(146), "User/USR - Thudwerk User Preset 100.thudwerkpreset");
  EXPECT_EQ(NameOf(122), "USR - Thudwerk User Preset 076");
}

TEST(PresetCatalogue, MenuChoicesGiveBankBasePlusPosition)
{
  EXPECT_EQ(PresetIndexFromMenuChoice(0, -1), 0);
  EXPECT_EQ(PresetIndexFromMenuChoice(1, -1), 1);
  EXPECT_EQ(PresetIndexFromMenuChoice(3, 19), 39);
  EXPECT_EQ(PresetIndexFromMenuChoice(8, 0), 122);
  EXPECT_EQ(PresetIndexFromMenuChoice(8, 24), 146);
  // A bank item itself, a position past its bank and unknown items are not choices.
  EXPECT_EQ(PresetIndexFromMenuChoice(2, -1), -1);
  EXPECT_EQ(PresetIndexFromMenuChoice(4, 7), -1);
  EXPECT_EQ(PresetIndexFromMenuChoice(9, 0), -1);
  EXPECT_EQ(PresetIndexFromMenuChoice(-1, -1), -1);
}

TEST(PresetCatalogue, BanksTileTheIndicesWithoutGapsAndNamesMatchMenuTexts)
{
  int next = 0;
  for (const PresetMenuEntry& entry : kPresetMainMenu)
  {
    EXPECT_EQ(entry.baseIndex, next) << entry.text;
    next += entry.count;
  }
  EXPECT_EQ(next, kLastPresetIndex + 1);
  EXPECT_EQ(NameOf(1), kPresetMainMenu[1].text);
}

TEST(PresetCatalogue, TooSmallBufferGivesEmptyTextAndFalse)
{
  char small[10] = "unchanged";
  EXPECT_FALSE(PresetRelativePath(2, small, sizeof(small)));
  EXPECT_STREQ(small, "");
  EXPECT_FALSE(PresetName(2, nullptr, 64));
}
