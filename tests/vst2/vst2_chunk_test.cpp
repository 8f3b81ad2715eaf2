#include "vst2_plugin_fixture.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace
{
constexpr int kParams = 27;
constexpr int kHeader = 8;

using Bytes = std::vector<unsigned char>;

double DoubleAt(const Bytes& bytes, size_t pos)
{
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i)
    bits = bits << 8 | bytes[pos + size_t(i)];
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

uint32_t UInt32At(const Bytes& bytes, size_t pos)
{
  return uint32_t(bytes[pos]) | uint32_t(bytes[pos + 1]) << 8 | uint32_t(bytes[pos + 2]) << 16 |
         uint32_t(bytes[pos + 3]) << 24;
}

void PutUInt32At(Bytes& bytes, size_t pos, uint32_t value)
{
  for (int i = 0; i < 4; ++i)
    bytes[pos + size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}
} // namespace

class Vst2ChunkTest : public Vst2PluginTest
{
protected:
  Bytes GetChunk(AEffect* plug, bool bank)
  {
    void* data = nullptr;
    const VstIntPtr size = host.Dispatch(plug, effGetChunk, bank ? 0 : 1, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    return Bytes(bytes, bytes + size);
  }

  VstIntPtr SetChunk(AEffect* plug, bool bank, Bytes bytes)
  {
    return host.Dispatch(plug, effSetChunk, bank ? 0 : 1, VstIntPtr(bytes.size()), bytes.data());
  }

  // Values a restore must carry over: everything a user or host set.
  void SetDistinctValues()
  {
    Set(EngineParam::BassAmpLevel, 0.125f);
    Set(EngineParam::BassEnvDecay, 0.75f);
    Set(EngineParam::MainVolume, 0.5f);
    Set(EngineParam::ReverbOffOn, 1.0f);
    Set(EngineParam::SnapPitchAmt, 0.625f);
    Set(EngineParam::TransistorDistLoad, 0.375f);
  }

  void ExpectSameParameters(AEffect* restored)
  {
    for (int i = 0; i < kParams; ++i)
      EXPECT_EQ(restored->getParameter(restored, i), Get(i)) << "parameter " << i;
  }
};

TEST_F(Vst2ChunkTest, ProgramChunkIsHeaderThenEveryValue)
{
  SetDistinctValues();
  const Bytes chunk = GetChunk(effect, false);
  ASSERT_EQ(chunk.size(), size_t(kHeader + 8 * kParams));
  EXPECT_EQ(Bytes(chunk.begin(), chunk.begin() + 4), (Bytes{'t', 'f', 'f', 'p'}));
  EXPECT_EQ(UInt32At(chunk, 4), 0x00010000u);
  EXPECT_EQ(DoubleAt(chunk, kHeader + 8 * EngineParam::MainVolume), 0.5);
  EXPECT_EQ(DoubleAt(chunk, kHeader + 8 * EngineParam::BassAmpLevel), 0.125);
  EXPECT_EQ(DoubleAt(chunk, kHeader + 8 * EngineParam::HostTempoBpm), 120.0);
  EXPECT_EQ(DoubleAt(chunk, kHeader + 8 * EngineParam::VoiceRetrigOffOn), 1.0);
  EXPECT_EQ(host.Dispatch(effect, effGetChunk, 1, 0, nullptr), 0);
}

TEST_F(Vst2ChunkTest, ProgramChunkRoundTripsIntoAnotherInstance)
{
  SetDistinctValues();
  const Bytes chunk = GetChunk(effect, false);
  AEffect* other = host.InstantiateAndStart();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(SetChunk(other, false, chunk), 1);
  ExpectSameParameters(other);
}

TEST_F(Vst2ChunkTest, HeaderlessProgramChunkIsReadFromTheStart)
{
  SetDistinctValues();
  const Bytes chunk = GetChunk(effect, false);
  AEffect* other = host.InstantiateAndStart();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(SetChunk(other, false, Bytes(chunk.begin() + kHeader, chunk.end())), 1);
  ExpectSameParameters(other);
}

TEST_F(Vst2ChunkTest, BankChunkRoundTripsAndKeepsTheProgramName)
{
  SetDistinctValues();
  char name[] = "Big";
  host.Dispatch(effect, effSetProgramName, 0, 0, name);
  const Bytes bank = GetChunk(effect, true);
  // Header, name length, name, initialized flag, the state.
  ASSERT_EQ(bank.size(), size_t(kHeader + 4 + 3 + 1 + 8 * kParams));
  EXPECT_EQ(UInt32At(bank, kHeader), 3u);

  AEffect* other = host.InstantiateAndStart();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(SetChunk(other, true, bank), 1);
  ExpectSameParameters(other);
  EXPECT_EQ(host.DispatchForText(other, effGetProgramName), "Big");
}

TEST_F(Vst2ChunkTest, BankWithAnOlderVersionIsReadAsOneProgram)
{
  SetDistinctValues();
  Bytes chunk = GetChunk(effect, false);
  PutUInt32At(chunk, 4, 0x00000001);
  AEffect* other = host.InstantiateAndStart();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(SetChunk(other, true, chunk), 1);
  ExpectSameParameters(other);
  EXPECT_EQ(host.DispatchForText(other, effGetProgramName), "Init");
}

TEST_F(Vst2ChunkTest, HostHandingBackOurOwnBufferRestoresIt)
{
  SetDistinctValues();
  void* data = nullptr;
  const VstIntPtr size = host.Dispatch(effect, effGetChunk, 1, 0, &data);
  ASSERT_GT(size, 0);
  const float volume = Get(EngineParam::MainVolume);
  Set(EngineParam::MainVolume, 0.9f);
  EXPECT_EQ(host.Dispatch(effect, effSetChunk, 1, size, data), 1);
  EXPECT_EQ(Get(EngineParam::MainVolume), volume);
}

TEST_F(Vst2ChunkTest, BadChunksAnswerZeroAndChangeNothing)
{
  SetDistinctValues();
  const Bytes chunk = GetChunk(effect, false);
  const float volume = Get(EngineParam::MainVolume);
  const float amp = Get(EngineParam::BassAmpLevel);
  Bytes copy = chunk;
  EXPECT_EQ(host.Dispatch(effect, effSetChunk, 1, VstIntPtr(copy.size()), nullptr), 0);
  EXPECT_EQ(host.Dispatch(effect, effSetChunk, 1, -1, copy.data()), 0);
  EXPECT_EQ(host.Dispatch(effect, effSetChunk, 0, -224, copy.data()), 0);
  EXPECT_EQ(host.Dispatch(effect, effSetChunk, 1, 0, copy.data()), 0);
  EXPECT_EQ(Get(EngineParam::MainVolume), volume);
  EXPECT_EQ(Get(EngineParam::BassAmpLevel), amp);

  // A chunk cut short restores what is there but reports the failure.
  EXPECT_EQ(SetChunk(effect, false, Bytes(chunk.begin(), chunk.begin() + 100)), 0);
  Bytes cutHeader(chunk.begin(), chunk.begin() + 6);
  EXPECT_EQ(SetChunk(effect, false, cutHeader), 0);
}

TEST_F(Vst2ChunkTest, RestoredValuesAreLimitedToTheirRanges)
{
  Bytes chunk = GetChunk(effect, false);
  const double tooLoud = 7.5;
  uint64_t bits;
  std::memcpy(&bits, &tooLoud, sizeof bits);
  for (int i = 0; i < 8; ++i)
    chunk[kHeader + 8 * EngineParam::MainVolume + i] = static_cast<unsigned char>(bits >> (8 * i));
  EXPECT_EQ(SetChunk(effect, false, chunk), 1);
  EXPECT_EQ(Get(EngineParam::MainVolume), 1.0f);
}
