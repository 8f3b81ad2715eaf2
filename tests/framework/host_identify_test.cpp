#include "host_identify.h"

#include <gtest/gtest.h>

#include <string>

TEST(HostIdentifyTest, CaseDoesNotMatterAndTheMatchIsAnywhere)
{
  EXPECT_EQ(1, IdentifyHost("REAPER"));
  EXPECT_EQ(1, IdentifyHost("reaper64"));
  EXPECT_EQ(9, IdentifyHost("Ableton Live 9"));
  EXPECT_EQ(27, IdentifyHost("VST3PluginTestHost"));
  EXPECT_EQ(2, IdentifyHost("ProTools"));
}

TEST(HostIdentifyTest, EarlierEntriesWin)
{
  EXPECT_EQ(3, IdentifyHost("cubase and nuendo"));
  EXPECT_EQ(3, IdentifyHost("Nuendo Cubase"));
  EXPECT_EQ(5, IdentifyHost("Cakewalk Live"));
  EXPECT_EQ(9, IdentifyHost("Live Logic"));
}

TEST(HostIdentifyTest, EveryEntryOfTheTableInOrder)
{
  const struct
  {
    const char* mName;
    int mId;
  } table[] = {{"cubase", 3},      {"reaper", 1},      {"nuendo", 4},
               {"cakewalk", 5},    {"samplitude", 8},  {"fruity", 7},
               {"live", 9},        {"melodyne", 12},   {"vstmanlib", 13},
               {"aulab", 14},      {"garageband", 22}, {"forte", 15},
               {"chainer", 16},    {"audition", 17},   {"orion", 18},
               {"sawstudio", 20},  {"logic", 21},      {"digital", 23},
               {"audiomulch", 25}, {"presonus", 26},   {"vst3plugintesthost", 27},
               {"protools", 2},    {"ardour", 28},     {"standalone", 24}};
  for (const auto& entry : table)
  {
    std::string upper = entry.mName;
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    EXPECT_EQ(entry.mId, IdentifyHost(entry.mName)) << entry.mName;
    EXPECT_EQ(entry.mId, IdentifyHost(("x " + upper + " y").c_str())) << upper;
  }
}

TEST(HostIdentifyTest, UnknownNamesGiveZero)
{
  EXPECT_EQ(0, IdentifyHost("Bitwig Studio"));
  EXPECT_EQ(0, IdentifyHost(""));
  EXPECT_EQ(0, IdentifyHost(nullptr));
}

TEST(HostIdentifyTest, OnlyTheFirst255CharactersCount)
{
  const std::string padding(249, '.');
  EXPECT_EQ(1, IdentifyHost((padding + "reaper").c_str())) << "ends at character 255";
  EXPECT_EQ(0, IdentifyHost((padding + ".reaper").c_str())) << "ends at character 256";
  const std::string huge(100000, 'q');
  EXPECT_EQ(0, IdentifyHost(huge.c_str()));
}
