#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
struct ExpectedParam
{
  int index;
  const char* name;
  double min;
  double max;
  double resetValue;
};

// The published table, one row per parameter.
const ExpectedParam kTable[] = {
    {EngineParam::BassAmpLevel, "BassAmpLevel", 0, 1, 1.0},
    {EngineParam::BassEnvAttack, "BassEnvAttack", 0, 1, 0.0},
    {EngineParam::BassEnvDecay, "BassEnvDecay", 0, 1, 0.5},
    {EngineParam::BassPitchAmt, "BassPitchAmt", 0, 1, 0.0},
    {EngineParam::HostBarStartPulse, "HostBarStartPulse", 0, 1, 0.0},
    {EngineParam::HostTempoBpm, "HostTempoBpm", 0, 1000, 120.0},
    {EngineParam::HostTransportIsRunning, "HostTransportIsRunning", 0, 1, 0.0},
    {EngineParam::MainVolume, "MainVolume", 0, 1, 0.8},
    {EngineParam::MidiChannelInput, "MidiChannelInput", 1, 1, 1.0},
    {EngineParam::PresetBackward, "PresetBackward", 0, 1, 0.0},
    {EngineParam::PresetForward, "PresetForward", 0, 1, 0.0},
    {EngineParam::PresetLoad, "PresetLoad", 0, 1, 0.0},
    {EngineParam::PresetSave, "PresetSave", 0, 1, 0.0},
    {EngineParam::PresetSelector, "PresetSelector", -1, 10000, 0.0},
    {EngineParam::ReverbOffOn, "ReverbOffOn", 0, 1, 0.0},
    {EngineParam::SnapAmpLevel, "SnapAmpLevel", 0, 1, 1.0},
    {EngineParam::SnapEnvDecay, "SnapEnvDecay", 0, 1, 0.0},
    {EngineParam::SnapPitchAmt, "SnapPitchAmt", 0, 1, 0.0},
    {EngineParam::TransistorDistLoad, "TransistorDistLoad", 0, 1, 0.0},
    {EngineParam::VelAmpOffOn, "VelAmpOffOn", 0, 1, 0.0},
    {EngineParam::Voice00_NoteGate, "Voice00_NoteGate", 0, 1, 0.0},
    {EngineParam::Voice00_NoteNumber, "Voice00_NoteNumber", 0, 127, 64.0},
    {EngineParam::Voice00_NoteRetrig, "Voice00_NoteRetrig", 0, 1, 0.0},
    {EngineParam::Voice00_NoteVelocity, "Voice00_NoteVelocity", 0, 127, 64.0},
    {EngineParam::VoiceModeMonoPoly, "VoiceModeMonoPoly", 0, 0, 0.0},
    {EngineParam::VoiceRetrigOffOn, "VoiceRetrigOffOn", 1, 1, 1.0},
    {EngineParam::zInitParams, "zInitParams", 0, 1, 0.0},
};

TEST(EngineParams, TableRecordsCarryNameRangeAndResetValue)
{
  EnginePtr engine = MakeEngine();
  ASSERT_NE(engine, nullptr);
  ASSERT_EQ(EngineNumParams(engine.get()), 27);
  ASSERT_EQ(sizeof kTable / sizeof kTable[0], 27u);
  for (int i = 0; i < 27; ++i)
  {
    const ExpectedParam& expected = kTable[i];
    ASSERT_EQ(expected.index, i);
    const EngineParamInfo* info = EngineGetParamInfo(engine.get(), i);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->name, expected.name);
    EXPECT_EQ(info->outputMin, expected.min) << expected.name;
    EXPECT_EQ(info->outputMax, expected.max) << expected.name;
    EXPECT_EQ(info->defaultValue, expected.resetValue) << expected.name;
    EXPECT_EQ(EngineGetParam(engine.get(), i), expected.resetValue) << expected.name;
    EXPECT_STREQ(info->units, "");
    EXPECT_EQ(info->defaultRef, nullptr);
    EXPECT_EQ(info->hasInputRange, 0);
    EXPECT_EQ(info->hasOutputRange, 1);
    EXPECT_EQ(info->inputMin, 0.0);
    EXPECT_EQ(info->inputMax, 1.0);
    EXPECT_EQ(info->type, 0);
    EXPECT_EQ(info->exponent, 0.0);
  }
  // Indices follow the byte-wise order of the names.
  for (int i = 1; i < 27; ++i)
    EXPECT_LT(std::strcmp(kTable[i - 1].name, kTable[i].name), 0) << kTable[i].name;
  EXPECT_EQ(EngineGetParamInfo(engine.get(), 27), nullptr);
  EXPECT_EQ(EngineGetParamInfo(engine.get(), -1), nullptr);
}

TEST(EngineParams, ValuesAreLimitedToTheirRange)
{
  EnginePtr engine = MakeEngine();
  struct Case
  {
    int index;
    double value;
    double stored;
  };
  const Case cases[] = {
      {EngineParam::ReverbOffOn, 3.0, 1.0},          {EngineParam::HostTempoBpm, 1500, 1000},
      {EngineParam::PresetSelector, -5, -1},         {EngineParam::MidiChannelInput, 7, 1},
      {EngineParam::VoiceModeMonoPoly, 1, 0},        {EngineParam::VoiceRetrigOffOn, 0, 1},
      {EngineParam::Voice00_NoteVelocity, 200, 127}, {EngineParam::MainVolume, -0.25, 0},
      {EngineParam::BassEnvDecay, 0.3, 0.3},         {EngineParam::PresetSelector, 17, 17},
  };
  for (const Case& c : cases)
  {
    EngineSetParam(engine.get(), c.index, c.value);
    EXPECT_EQ(EngineGetParam(engine.get(), c.index), c.stored) << kTable[c.index].name;
  }
}

TEST(EngineParams, NonFiniteValuesNeverGetStoredAsSuch)
{
  EnginePtr engine = MakeEngine();
  const double inf = std::numeric_limits<double>::infinity();
  EngineSetParam(engine.get(), EngineParam::HostTempoBpm, inf);
  EXPECT_EQ(EngineGetParam(engine.get(), EngineParam::HostTempoBpm), 1000.0);
  EngineSetParam(engine.get(), EngineParam::PresetSelector, -inf);
  EXPECT_EQ(EngineGetParam(engine.get(), EngineParam::PresetSelector), -1.0);
  for (int i = 0; i < 27; ++i)
  {
    EngineSetParam(engine.get(), i, std::nan(""));
    EXPECT_EQ(EngineGetParam(engine.get(), i), kTable[i].min) << kTable[i].name;
  }
}

TEST(EngineParams, NaNParametersNeverReachTheOutput)
{
  EnginePtr engine = MakeEngine();
  StartNote(engine.get());
  EngineSetParam(engine.get(), EngineParam::ReverbOffOn, 1.0);
  // Everything but the gate, the reverb switch and the three levels is NaN.
  for (int i = 0; i < 27; ++i)
    if (i != EngineParam::Voice00_NoteGate && i != EngineParam::ReverbOffOn &&
        i != EngineParam::BassAmpLevel && i != EngineParam::SnapAmpLevel &&
        i != EngineParam::MainVolume)
      EngineSetParam(engine.get(), i, std::nan(""));
  const StereoBuffer out = Render(engine.get(), 4000);
  for (size_t i = 0; i < out.left.size(); ++i)
  {
    ASSERT_TRUE(std::isfinite(out.left[i])) << i;
    ASSERT_TRUE(std::isfinite(out.right[i])) << i;
  }
  EXPECT_GT(PeakOf(out.left), 0.1);
}

TEST(EngineParams, OutOfRangeIndicesChangeNothing)
{
  EnginePtr engine = MakeEngine();
  for (int index : {27, -1, 1000, -2147483647 - 1})
    EngineSetParam(engine.get(), index, 0.25);
  for (int i = 0; i < 27; ++i)
    EXPECT_EQ(EngineGetParam(engine.get(), i), kTable[i].resetValue) << kTable[i].name;
  EXPECT_EQ(EngineGetParam(engine.get(), 27), 0.0);
  EXPECT_EQ(EngineGetParam(engine.get(), -1), 0.0);
}

TEST(EngineParams, ResetRestoresEveryResetValue)
{
  EnginePtr engine = MakeEngine();
  for (int i = 0; i < 27; ++i)
    EngineSetParam(engine.get(), i,
                   kTable[i].max == kTable[i].resetValue ? kTable[i].min : kTable[i].max);
  EngineReset(engine.get(), 48000.0, 256);
  for (int i = 0; i < 27; ++i)
    EXPECT_EQ(EngineGetParam(engine.get(), i), kTable[i].resetValue) << kTable[i].name;
  EXPECT_EQ(EngineGetParam(engine.get(), EngineParam::MainVolume), 0.8);
  EXPECT_EQ(EngineGetParam(engine.get(), EngineParam::HostTempoBpm), 120.0);
}

TEST(EngineParams, CommonBlockDescribesTheEngine)
{
  EnginePtr engine = MakeEngine(48000.0);
  EXPECT_EQ(EngineGetSampleRate(engine.get()), 48000.0);
  EXPECT_EQ(EngineGetBlockSize(engine.get()), 1024);
  EXPECT_EQ(EngineNumInputs(engine.get()), 2);
  EXPECT_EQ(EngineNumOutputs(engine.get()), 2);
  EXPECT_STREQ(EngineGetInputName(engine.get(), 0), "in1");
  EXPECT_STREQ(EngineGetInputName(engine.get(), 1), "in2");
  EXPECT_STREQ(EngineGetOutputName(engine.get(), 0), "audio_out_1");
  EXPECT_STREQ(EngineGetOutputName(engine.get(), 1), "audio_out_2");
  EXPECT_EQ(EngineGetOutputName(engine.get(), 2), nullptr);
  EXPECT_EQ(EngineGetErrorCode(engine.get()), 0);
  EngineReset(engine.get(), 96000.0, 333);
  EXPECT_EQ(EngineGetSampleRate(engine.get()), 96000.0);
  EXPECT_EQ(EngineGetBlockSize(engine.get()), 333);
}
} // namespace
