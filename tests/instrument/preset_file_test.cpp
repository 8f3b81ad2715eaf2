#include "kick_engine.h"
#include "preset_file.h"
#include "preset_sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <vector>

namespace
{
using namespace EngineParam;

// The value a file written with printf's "%g" holds after reading: the C
// library's own conversions, then the nearest float.
double ThroughSixDigits(double value)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%g", value);
  return double(float(std::strtod(text, nullptr)));
}

std::string Tagged(const char* name, const std::string& value)
{
  return std::string("<") + name + ">" + value + "</" + name + ">";
}

// The parse result of a single tag pair for BassAmpLevel (file order 0).
bool ParseBassAmp(const std::string& valueText, double& value)
{
  const PresetFileValues values = ParsePresetLine(Tagged("BassAmpLevel", valueText));
  value = values.value[0];
  return values.found[0];
}

struct CommaDecimalPoint : std::numpunct<char>
{
  char do_decimal_point() const override { return ','; }
};
} // namespace

TEST(PresetFileFormat, TagsAreTheTenSoundParametersInFileOrder)
{
  const int expected[kPresetFileParams] = {
      BassAmpLevel, BassEnvAttack, BassEnvDecay, BassPitchAmt, MainVolume,
      ReverbOffOn,  SnapAmpLevel,  SnapEnvDecay, SnapPitchAmt, TransistorDistLoad};
  const char* names[kPresetFileParams] = {
      "BassAmpLevel", "BassEnvAttack", "BassEnvDecay", "BassPitchAmt", "MainVolume",
      "ReverbOffOn",  "SnapAmpLevel",  "SnapEnvDecay", "SnapPitchAmt", "TransistorDistLoad"};
  for (int i = 0; i < kPresetFileParams; ++i)
  {
    EXPECT_EQ(kPresetFileTags[i].paramIdx, expected[i]);
    EXPECT_STREQ(kPresetFileTags[i].name, names[i]);
  }
}

TEST(PresetFileFormat, ValuesUseSixSignificantDigits)
{
  EXPECT_EQ(FormatPresetValue(0.5), "0.5");
  EXPECT_EQ(FormatPresetValue(1.0), "1");
  EXPECT_EQ(FormatPresetValue(0.0), "0");
  EXPECT_EQ(FormatPresetValue(1.0 / 3.0), "0.333333");
  EXPECT_EQ(FormatPresetValue(0.00001), "1e-05");
  EXPECT_EQ(FormatPresetValue(0.123456789), "0.123457");
  EXPECT_EQ(FormatPresetValue(0.0001), "0.0001");
  EXPECT_EQ(FormatPresetValue(123456.0), "123456");
  EXPECT_EQ(FormatPresetValue(1234567.0), "1.23457e+06");
}

TEST(PresetFileFormat, ValuesIgnoreTheProcessLocale)
{
  const std::locale previous =
      std::locale::global(std::locale(std::locale::classic(), new CommaDecimalPoint));
  const std::string written = FormatPresetValue(0.25);
  double read = 0.0;
  const bool parsed = ParseBassAmp("0.75", read);
  std::locale::global(previous);
  EXPECT_EQ(written, "0.25");
  EXPECT_TRUE(parsed);
  EXPECT_EQ(read, 0.75);
}

TEST(PresetFileFormat, FileIsOneLineOfHeaderAndTenTags)
{
  const double values[kPresetFileParams] = {1.0, 0.0, 0.5, 0.0, 0.8, 0.0, 1.0, 0.0, 0.0, 0.25};
  const std::string expected =
      "<Company>Vorn Audio</Company><Product>Thudwerk</Product><Version>1.0.0</Version>"
      "<BassAmpLevel>1</BassAmpLevel><BassEnvAttack>0</BassEnvAttack>"
      "<BassEnvDecay>0.5</BassEnvDecay><BassPitchAmt>0</BassPitchAmt>"
      "<MainVolume>0.8</MainVolume><ReverbOffOn>0</ReverbOffOn>"
      "<SnapAmpLevel>1</SnapAmpLevel><SnapEnvDecay>0</SnapEnvDecay>"
      "<SnapPitchAmt>0</SnapPitchAmt><TransistorDistLoad>0.25</TransistorDistLoad>";
  EXPECT_EQ(PresetFileText(values), expected);
}

TEST(PresetFileFormat, RoundTripKeepsSixDigitsReadAsFloat)
{
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int round = 0; round < 200; ++round)
  {
    double values[kPresetFileParams];
    for (double& value : values)
      value = unit(random);
    if (round == 0) values[3] = 0.123456789;
    const PresetFileValues read = ParsePresetLine(PresetFileText(values));
    for (int i = 0; i < kPresetFileParams; ++i)
    {
      ASSERT_TRUE(read.found[i]);
      EXPECT_EQ(read.value[i], ThroughSixDigits(values[i])) << values[i];
    }
  }
  double fromText = 0.0;
  ASSERT_TRUE(ParseBassAmp("0.123457", fromText));
  EXPECT_EQ(fromText, double(0.123457f));
}

TEST(PresetFileParsing, HeadersOrderAndSurroundingTextDoNotMatter)
{
  const std::string line = "garbage<Version>9</Version>" + Tagged("TransistorDistLoad", "0.5") +
                           " between " + Tagged("BassAmpLevel", "0.25") + "<Company>x" +
                           Tagged("MainVolume", "0.125") + "tail";
  const PresetFileValues values = ParsePresetLine(line);
  EXPECT_TRUE(values.found[0]);
  EXPECT_EQ(values.value[0], 0.25);
  EXPECT_TRUE(values.found[4]);
  EXPECT_EQ(values.value[4], 0.125);
  EXPECT_TRUE(values.found[9]);
  EXPECT_EQ(values.value[9], 0.5);
  for (int i : {1, 2, 3, 5, 6, 7, 8})
    EXPECT_FALSE(values.found[i]) << i;
}

TEST(PresetFileParsing, FirstOccurrenceOfEachTagCounts)
{
  const PresetFileValues values =
      ParsePresetLine(Tagged("BassEnvDecay", "0.75") + Tagged("BassEnvDecay", "0.25"));
  ASSERT_TRUE(values.found[2]);
  EXPECT_EQ(values.value[2], 0.75);
}

TEST(PresetFileParsing, ClosingTagBeforeTheValueRunsToTheEndOfTheLine)
{
  const PresetFileValues values = ParsePresetLine("</BassAmpLevel>x<BassAmpLevel> 0.5 rest");
  ASSERT_TRUE(values.found[0]);
  EXPECT_EQ(values.value[0], 0.5);
}

TEST(PresetFileParsing, TagWithoutItsPartnerLeavesTheParameterAlone)
{
  const PresetFileValues values =
      ParsePresetLine("<BassAmpLevel>0.5<BassEnvAttack>0.5</BassEnvAttack></SnapAmpLevel>0.5");
  EXPECT_FALSE(values.found[0]);
  EXPECT_TRUE(values.found[1]);
  EXPECT_FALSE(values.found[6]);
}

TEST(PresetFileParsing, NumbersAreTheLongestLeadingPrefix)
{
  struct Case
  {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"  \t0.5", 0.5},   {"0.25abc", 0.25},    {"+0.5", 0.5},     {".5", 0.5},
      {"5.", 5.0},        {"1e", 1.0},          {"2e-1x", 0.2f},   {"0x10", 0.0},
      {"-3", -3.0},       {"1.5", 1.5},         {"INF", INFINITY}, {"-inf", -INFINITY},
      {"1e39", INFINITY}, {"-1e39", -INFINITY},
  };
  for (const Case& c : cases)
  {
    double value = 12345.0;
    EXPECT_TRUE(ParseBassAmp(c.text, value)) << c.text;
    EXPECT_EQ(value, double(float(c.expected))) << c.text;
  }
}

TEST(PresetFileParsing, TextWithoutAUsableNumberIsSkipped)
{
  for (const char* text :
       {"", "   ", "abc", "+-1", "-", ".", "e5", "nan", "-NaN", "1e309", "-1e400", "1e-400"})
  {
    double value = 12345.0;
    EXPECT_FALSE(ParseBassAmp(text, value)) << text;
  }
  const std::string withNul("\0"
                            "0.5",
                            4);
  double value = 0.0;
  EXPECT_FALSE(ParseBassAmp(withNul, value));
}

TEST(PresetFileParsing, HostileLinesNeverYieldNaN)
{
  const char* pieces[] = {"<BassAmpLevel>",
                          "</BassAmpLevel>",
                          "<MainVolume>",
                          "</MainVolume>",
                          "nan",
                          "inf",
                          "-",
                          "+",
                          "e",
                          "9",
                          "0.",
                          "1e308",
                          "<",
                          ">",
                          "/",
                          " ",
                          "\r",
                          "\n",
                          "\xff"};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, int(sizeof(pieces) / sizeof(pieces[0])) - 1);
  for (int round = 0; round < 2000; ++round)
  {
    std::string line;
    const int count = round % 40;
    for (int i = 0; i < count; ++i)
      line += pieces[pick(random)];
    const PresetFileValues values = ParsePresetLine(line);
    for (int i = 0; i < kPresetFileParams; ++i)
      ASSERT_FALSE(values.found[i] && std::isnan(values.value[i])) << line;
  }
}

class PresetFileIo : public ::testing::Test
{
protected:
  void SetUp() override { ASSERT_TRUE(sandbox.Ready()); }
  std::string Path(const char* name) const { return sandbox.PresetFolder() + "User/" + name; }

  PresetSandbox sandbox;
};

TEST_F(PresetFileIo, OnlyTheLastLineIsRead)
{
  std::string line;
  ASSERT_TRUE(WriteFileBytes(Path("a"), "first\r\nsecond\nthird"));
  EXPECT_EQ(ReadPresetLastLine(Path("a"), line), PresetFileRead::kRead);
  EXPECT_EQ(line, "third");
  ASSERT_TRUE(WriteFileBytes(Path("b"), "first\r\nsecond\r\n"));
  EXPECT_EQ(ReadPresetLastLine(Path("b"), line), PresetFileRead::kEmptyLastLine);
  ASSERT_TRUE(WriteFileBytes(Path("c"), ""));
  EXPECT_EQ(ReadPresetLastLine(Path("c"), line), PresetFileRead::kEmptyLastLine);
  ASSERT_TRUE(WriteFileBytes(Path("d"), std::string("one\0two", 7)));
  EXPECT_EQ(ReadPresetLastLine(Path("d"), line), PresetFileRead::kRead);
  EXPECT_EQ(line, std::string("one\0two", 7));
}

TEST_F(PresetFileIo, MissingFilesFoldersAndEmptyPathsAreNotOpened)
{
  std::string line = "stale";
  EXPECT_EQ(ReadPresetLastLine("", line), PresetFileRead::kNotOpened);
  EXPECT_EQ(ReadPresetLastLine(Path("absent.thudwerkpreset"), line), PresetFileRead::kNotOpened);
  EXPECT_EQ(ReadPresetLastLine(sandbox.PresetFolder(), line), PresetFileRead::kNotOpened);
  EXPECT_EQ(ReadPresetLastLine(sandbox.PresetFolder() + "User", line), PresetFileRead::kNotOpened);
  EXPECT_TRUE(line.empty());
}

TEST_F(PresetFileIo, OversizedFilesAreNotRead)
{
  const std::string tags = Tagged("BassAmpLevel", "0.5");
  std::string line;
  ASSERT_TRUE(
      WriteFileBytes(Path("limit"), std::string(kMaxPresetFileBytes - tags.size(), ' ') + tags));
  EXPECT_EQ(ReadPresetLastLine(Path("limit"), line), PresetFileRead::kRead);
  EXPECT_TRUE(ParsePresetLine(line).found[0]);
  ASSERT_TRUE(
      WriteFileBytes(Path("over"), std::string(kMaxPresetFileBytes + 1 - tags.size(), ' ') + tags));
  EXPECT_EQ(ReadPresetLastLine(Path("over"), line), PresetFileRead::kTooLarge);
  EXPECT_TRUE(line.empty());
}

namespace
{
// Everything in the folder, for checking that no temporary file stays.
std::vector<std::string> FolderEntries(const std::string& folder)
{
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
} // namespace

TEST_F(PresetFileIo, WritingReplacesTheFileAndNeverCreatesFolders)
{
  const std::string path = Path("kick.thudwerkpreset");
  ASSERT_TRUE(WriteFileBytes(path, std::string(1000, 'x')));
  EXPECT_TRUE(WritePresetText(path, "short"));
  EXPECT_EQ(ReadFileBytes(path), "short");
  EXPECT_TRUE(WritePresetText(Path("new.thudwerkpreset"), "fresh"));
  EXPECT_EQ(ReadFileBytes(Path("new.thudwerkpreset")), "fresh");
  EXPECT_EQ(FolderEntries(Path("")),
            (std::vector<std::string>{"kick.thudwerkpreset", "new.thudwerkpreset"}));

  const std::string inMissingFolder = sandbox.PresetFolder() + "Missing/kick.thudwerkpreset";
  EXPECT_FALSE(WritePresetText(inMissingFolder, "text"));
  EXPECT_FALSE(FileExists(inMissingFolder));
  EXPECT_FALSE(WritePresetText("", "text"));
  EXPECT_FALSE(WritePresetText(sandbox.PresetFolder() + "User", "text"));
  EXPECT_EQ(FolderEntries(Path("")),
            (std::vector<std::string>{"kick.thudwerkpreset", "new.thudwerkpreset"}))
      << "a failed replacement removes its temporary file";
}

namespace
{
// A disk that fills up: nothing, or only part of the text, gets written.
std::size_t DiskFullAtOnce(const void*, std::size_t, std::FILE*)
{
  return 0;
}

std::size_t DiskFullHalfway(const void* data, std::size_t size, std::FILE* file)
{
  return std::fwrite(data, 1, size / 2, file);
}
} // namespace

TEST_F(PresetFileIo, AFailedWriteLeavesTheOldFileAndNoTemporaryFile)
{
  const std::string path = Path("kept.thudwerkpreset");
  const std::string old = "<BassAmpLevel>0.25</BassAmpLevel>";
  for (PresetBytesWriter writer : {DiskFullAtOnce, DiskFullHalfway})
  {
    ASSERT_TRUE(WriteFileBytes(path, old));
    EXPECT_FALSE(WritePresetText(path, std::string(600, 'n'), writer));
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(FolderEntries(Path("")), std::vector<std::string>{"kept.thudwerkpreset"});
  }
}
