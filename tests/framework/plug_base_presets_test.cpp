#include "test_plug.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<unsigned char>;

// Expected encodings, written independently of the chunk code: the bits of
// a double (via memcpy) or an int32, least significant byte first.
void AppendDouble(Bytes& bytes, double value)
{
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i)
    bytes.push_back(static_cast<unsigned char>((bits >> (8 * i)) & 0xFF));
}

void AppendInt32(Bytes& bytes, uint32_t value)
{
  for (int i = 0; i < 4; ++i)
    bytes.push_back(static_cast<unsigned char>((value >> (8 * i)) & 0xFF));
}

void AppendText(Bytes& bytes, const std::string& text)
{
  bytes.insert(bytes.end(), text.begin(), text.end());
}

// One preset of a bank for a plug-in with one parameter.
void AppendPreset(Bytes& bytes, const Bytes& name, bool initialized = true)
{
  AppendInt32(bytes, static_cast<uint32_t>(name.size()));
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.push_back(initialized ? 1 : 0);
  if (initialized) AppendDouble(bytes, 0.25);
}

Bytes NameBytes(const std::string& text)
{
  return Bytes(text.begin(), text.end());
}

Bytes StateOf(const IPlugBase& plug)
{
  Bytes bytes;
  for (int i = 0; i < plug.ParamCount(); ++i)
    AppendDouble(bytes, plug.GetParam(i)->Value());
  return bytes;
}

Bytes BytesOf(const ByteChunk& chunk)
{
  return Bytes(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

ByteChunk ChunkOf(const Bytes& bytes)
{
  ByteChunk chunk;
  chunk.Put(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

std::vector<int> AllIndices(int count)
{
  std::vector<int> indices;
  for (int i = 0; i < count; ++i)
    indices.push_back(i);
  return indices;
}

// Sets every parameter to a value of the given seed inside its range.
void Scramble(IPlugBase& plug, unsigned seed)
{
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < plug.ParamCount(); ++i)
    plug.GetParam(i)->SetFromNormalized(unit(random));
}

class PresetTest : public ::testing::Test
{
protected:
  PresetTest() { plug.DefineDistinctParams(); }
  TestPlug plug;
};
} // namespace

TEST_F(PresetTest, StateChunkIsEveryValueAsALittleEndianDouble)
{
  Scramble(plug, 7);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializeParams(chunk));
  ASSERT_EQ(216, chunk.Size());
  EXPECT_EQ(StateOf(plug), BytesOf(chunk));
}

TEST_F(PresetTest, StateRestoresBitForBit)
{
  Scramble(plug, 11);
  const Bytes saved = StateOf(plug);
  ByteChunk chunk;
  plug.SaveStateChunk(chunk);
  Scramble(plug, 12);
  plug.mChanged.clear();
  EXPECT_EQ(216, plug.LoadStateChunk(chunk, 0));
  EXPECT_EQ(saved, StateOf(plug));
  EXPECT_EQ(AllIndices(27), plug.mChanged);
}

TEST_F(PresetTest, SaveStateAppendsAfterWhatTheChunkHolds)
{
  ByteChunk chunk;
  chunk.PutInt32(0x70666674);
  chunk.PutInt32(0x00010000);
  plug.SaveStateChunk(chunk);
  ASSERT_EQ(224, chunk.Size());
  Scramble(plug, 3);
  const Bytes saved = StateOf(plug);
  ByteChunk other;
  other.PutInt32(0);
  other.PutInt32(0);
  plug.SaveStateChunk(other);
  Scramble(plug, 4);
  EXPECT_EQ(224, plug.UnserializeParams(other, 8));
  EXPECT_EQ(saved, StateOf(plug));
}

TEST_F(PresetTest, ShortStateChangesNothing)
{
  Scramble(plug, 22);
  const Bytes source = StateOf(plug);
  Scramble(plug, 21);
  const Bytes before = StateOf(plug);
  plug.mChanged.clear();
  for (size_t length : {size_t(0), size_t(8), size_t(100), source.size() - 1})
  {
    const ByteChunk truncated = ChunkOf(Bytes(source.begin(), source.begin() + long(length)));
    EXPECT_EQ(-1, plug.UnserializeParams(truncated, 0)) << length;
    EXPECT_EQ(before, StateOf(plug)) << length;
  }
  EXPECT_TRUE(plug.mChanged.empty()) << "nothing announced";
  EXPECT_EQ(-1, plug.UnserializeParams(ChunkOf(source), 8)) << "the start position counts";
}

TEST_F(PresetTest, OversizedStateReadsOnlyItsValues)
{
  Scramble(plug, 5);
  Bytes source = StateOf(plug);
  source.insert(source.end(), 50, 0xAB);
  Scramble(plug, 6);
  EXPECT_EQ(216, plug.UnserializeParams(ChunkOf(source), 0));
  EXPECT_EQ(Bytes(source.begin(), source.begin() + 216), StateOf(plug));
}

TEST_F(PresetTest, RestoredValuesAreLimitedToTheirRanges)
{
  Bytes source;
  for (int i = 0; i < 27; ++i)
    AppendDouble(source, i % 2 ? 1e9 : -1e9);
  plug.UnserializeParams(ChunkOf(source), 0);
  for (int i = 0; i < 27; ++i)
  {
    const IPlugParam& param = *plug.GetParam(i);
    EXPECT_EQ(i % 2 ? param.Max() : param.Min(), param.Value()) << i;
  }
}

TEST_F(PresetTest, StartPositionsOutsideTheDataGiveMinusOne)
{
  const ByteChunk chunk = ChunkOf(StateOf(plug));
  for (int start : {-1, -100, 217, 0x7FFFFFFF})
  {
    Scramble(plug, 8);
    const Bytes before = StateOf(plug);
    EXPECT_EQ(-1, plug.UnserializeParams(chunk, start)) << start;
    const Bytes after = StateOf(plug);
    EXPECT_TRUE(std::equal(before.begin() + 8, before.end(), after.begin() + 8))
        << "at most the first parameter is touched, start " << start;
  }
}

TEST_F(PresetTest, CompareStateAcceptsOnlyMatchingValues)
{
  Scramble(plug, 9);
  Bytes bytes = StateOf(plug);
  const int size = static_cast<int>(bytes.size());
  EXPECT_TRUE(plug.CompareState(bytes.data(), size, 0));

  Bytes close;
  for (int i = 0; i < 27; ++i)
    AppendDouble(close, plug.GetParam(i)->Value() + (i == 4 ? 0.000001 : 0.0));
  EXPECT_TRUE(plug.CompareState(close.data(), size, 0)) << "within tolerance";

  Bytes far;
  for (int i = 0; i < 27; ++i)
    AppendDouble(far, plug.GetParam(i)->Value() + (i == 26 ? 0.001 : 0.0));
  EXPECT_FALSE(plug.CompareState(far.data(), size, 0));

  EXPECT_FALSE(plug.CompareState(bytes.data(), size - 1, 0)) << "missing bytes";
  EXPECT_FALSE(plug.CompareState(bytes.data(), size, 8));
  EXPECT_FALSE(plug.CompareState(nullptr, 0, 0));
  Bytes shifted(4, 0);
  shifted.insert(shifted.end(), bytes.begin(), bytes.end());
  EXPECT_TRUE(plug.CompareState(shifted.data(), size + 4, 4));
}

TEST(PresetDefaultsTest, DefaultPresetsFillFreeSlotsOnly)
{
  TestPlug plug(4, "2-2", 3);
  plug.DefineDistinctParams();
  plug.CreateDefaultPreset("Init", 1);
  EXPECT_STREQ("Init", plug.GetPresetName(0));
  EXPECT_TRUE(plug.GetPreset(0)->mInitialized);
  EXPECT_EQ(StateOf(plug), BytesOf(plug.GetPreset(0)->mChunk));
  EXPECT_FALSE(plug.GetPreset(1)->mInitialized);

  plug.CreateDefaultPreset(nullptr, 10);
  EXPECT_STREQ("Init", plug.GetPresetName(0));
  EXPECT_STREQ("Empty", plug.GetPresetName(1));
  EXPECT_STREQ("Empty", plug.GetPresetName(2));
  EXPECT_TRUE(plug.GetPreset(2)->mInitialized);

  plug.CreateDefaultPreset("Late", 1);
  EXPECT_STREQ("Empty", plug.GetPresetName(2)) << "nothing left to fill";
}

TEST_F(PresetTest, BankOfOneInitPresetIs225Bytes)
{
  plug.CreateDefaultPreset("Init", 1);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializePresets(chunk));
  Bytes expected;
  AppendInt32(expected, 4);
  AppendText(expected, "Init");
  expected.push_back(1);
  const Bytes state = StateOf(plug);
  expected.insert(expected.end(), state.begin(), state.end());
  ASSERT_EQ(225u, expected.size());
  EXPECT_EQ(expected, BytesOf(chunk));
}

TEST(PresetBankTest, UninitializedPresetsStoreNoState)
{
  TestPlug plug(2, "2-2", 2);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializePresets(chunk));
  Bytes expected;
  for (int i = 0; i < 2; ++i)
  {
    AppendInt32(expected, 5);
    AppendText(expected, "empty");
    expected.push_back(0);
  }
  EXPECT_EQ(expected, BytesOf(chunk));
}

TEST(PresetBankTest, NoPresetsWriteNothing)
{
  TestPlug plug(2, "2-2", 0);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializePresets(chunk));
  EXPECT_EQ(0, chunk.Size());
  EXPECT_FALSE(plug.ApplyPreset(0));
  plug.ModifyCurrentPreset("ignored");
  EXPECT_EQ(0, plug.UnserializePresets(chunk, 0));
}

TEST_F(PresetTest, ApplyingAnEmptySlotMakesAUserPreset)
{
  TestPlug three(3, "2-2", 3);
  three.DefineDistinctParams();
  EXPECT_TRUE(three.ApplyPreset(1));
  EXPECT_STREQ("user preset 1", three.GetPresetName(1));
  EXPECT_TRUE(three.GetPreset(1)->mInitialized);
  EXPECT_EQ(StateOf(three), BytesOf(three.GetPreset(1)->mChunk));
  EXPECT_EQ(1, three.GetCurrentPresetIdx());
  EXPECT_EQ(1, three.mPresetsChanged);

  EXPECT_TRUE(three.ApplyPreset(2));
  EXPECT_STREQ("user preset 2", three.GetPresetName(2));
}

TEST_F(PresetTest, UserPresetNumberCountsNamesContainingThePhrase)
{
  TestPlug three(1, "2-2", 3);
  three.ModifyCurrentPreset("my user preset 7");
  EXPECT_TRUE(three.ApplyPreset(2));
  EXPECT_STREQ("user preset 2", three.GetPresetName(2));
}

TEST_F(PresetTest, ApplyPresetRestoresItsStateAndRefreshesTheEditor)
{
  struct CountingEditor : IPlugEditor
  {
    void TakeParamValueFromPlug(int, double) override {}
    void PrepareDraw() override {}
    void PushParamToControls(int, double, bool) override { ++mPushes; }
    int mPushes = 0;
  };
  auto* editor = new CountingEditor;
  plug.AttachEditor(editor);
  Scramble(plug, 31);
  plug.CreateDefaultPreset("Init", 1);
  const Bytes saved = StateOf(plug);
  Scramble(plug, 32);
  plug.mChanged.clear();
  EXPECT_TRUE(plug.ApplyPreset(0));
  EXPECT_EQ(saved, StateOf(plug));
  EXPECT_EQ(AllIndices(27), plug.mChanged);
  EXPECT_EQ(27, editor->mPushes);
  EXPECT_EQ(1, plug.mPresetsChanged);
}

TEST_F(PresetTest, UnknownPresetIndicesFail)
{
  plug.CreateDefaultPreset("Init", 1);
  Scramble(plug, 41);
  const Bytes before = StateOf(plug);
  EXPECT_FALSE(plug.ApplyPreset(-1));
  EXPECT_FALSE(plug.ApplyPreset(1));
  EXPECT_EQ(0, plug.GetCurrentPresetIdx());
  EXPECT_EQ(before, StateOf(plug));
  EXPECT_EQ(0, plug.mPresetsChanged);
}

TEST_F(PresetTest, ModifyCurrentPresetReplacesItsStateAndName)
{
  plug.CreateDefaultPreset("Init", 1);
  Scramble(plug, 51);
  plug.ModifyCurrentPreset(nullptr);
  EXPECT_STREQ("Init", plug.GetPresetName(0));
  EXPECT_EQ(StateOf(plug), BytesOf(plug.GetPreset(0)->mChunk)) << "replaced, not appended";
  plug.ModifyCurrentPreset("");
  EXPECT_STREQ("Init", plug.GetPresetName(0));
  plug.ModifyCurrentPreset(std::string(400, 'k').c_str());
  EXPECT_EQ(std::string(255, 'k'), plug.GetPresetName(0));
}

TEST(PresetBankTest, BankRoundTripRestoresNamesStatesAndTheCurrentPreset)
{
  TestPlug source(5, "2-2", 3);
  source.DefineDistinctParams();
  for (int i = 0; i < 2; ++i)
  {
    Scramble(source, 60 + i);
    source.ApplyPreset(i);
    source.ModifyCurrentPreset(("Kick " + std::to_string(i)).c_str());
  }
  const Bytes current = StateOf(source);
  ByteChunk bank;
  ASSERT_TRUE(source.SerializePresets(bank));

  TestPlug target(5, "2-2", 3);
  target.DefineDistinctParams();
  target.ApplyPreset(1);
  Scramble(target, 70);
  EXPECT_EQ(bank.Size(), target.UnserializePresets(bank, 0));
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_STREQ(source.GetPresetName(i), target.GetPresetName(i));
    EXPECT_EQ(source.GetPreset(i)->mInitialized, target.GetPreset(i)->mInitialized);
    EXPECT_EQ(BytesOf(source.GetPreset(i)->mChunk), BytesOf(target.GetPreset(i)->mChunk));
  }
  EXPECT_EQ(current, StateOf(target)) << "the current preset is live again";
}

TEST(PresetBankTest, CutOrDamagedBankChangesNothing)
{
  TestPlug source(2, "2-2", 2);
  source.DefineDistinctParams();
  source.CreateDefaultPreset("First", 1);
  source.CreateDefaultPreset("Second", 1);
  ByteChunk bank;
  source.SerializePresets(bank);
  const Bytes full = BytesOf(bank);

  // (parameter count, bank): cut inside the second state, or a bad name
  // length after a good preset.
  std::vector<std::pair<int, Bytes>> broken{{2, Bytes(full.begin(), full.end() - 3)}};
  for (uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 1000u})
  {
    Bytes bytes;
    AppendPreset(bytes, NameBytes("One"));
    AppendInt32(bytes, length);
    AppendText(bytes, "Two");
    bytes.push_back(1);
    AppendDouble(bytes, 0.75);
    broken.emplace_back(1, bytes);
  }
  for (const auto& [params, bytes] : broken)
  {
    TestPlug target(params, "2-2", 2);
    const Bytes state = StateOf(target);
    EXPECT_EQ(-1, target.UnserializePresets(ChunkOf(bytes), 0)) << bytes.size();
    EXPECT_STREQ("empty", target.GetPresetName(0));
    EXPECT_FALSE(target.GetPreset(0)->mInitialized);
    EXPECT_STREQ("empty", target.GetPresetName(1));
    EXPECT_EQ(state, StateOf(target));
  }
}

TEST(PresetBankTest, EmptyNameTakesTheLastNameRead)
{
  Bytes bytes;
  AppendPreset(bytes, NameBytes("One"));
  AppendPreset(bytes, Bytes());
  TestPlug plug(1, "2-2", 2);
  EXPECT_EQ(static_cast<int>(bytes.size()), plug.UnserializePresets(ChunkOf(bytes), 0));
  EXPECT_STREQ("One", plug.GetPresetName(1));
}

TEST(PresetBankTest, OverlongNamesAreCutToTheField)
{
  Bytes bytes;
  AppendPreset(bytes, NameBytes(std::string(300, 'z')));
  TestPlug plug(1, "2-2", 1);
  EXPECT_EQ(static_cast<int>(bytes.size()), plug.UnserializePresets(ChunkOf(bytes), 0));
  EXPECT_EQ(std::string(255, 'z'), plug.GetPresetName(0));
  EXPECT_EQ(0.25, plug.GetParam(0)->Value()) << "the state after the long name is read";
}

TEST(PresetBankTest, NameStopsAtItsFirstNul)
{
  Bytes bytes;
  AppendPreset(bytes, Bytes{'A', 'b', 0, 'x', 'y', 'z'});
  TestPlug plug(1, "2-2", 1);
  EXPECT_EQ(static_cast<int>(bytes.size()), plug.UnserializePresets(ChunkOf(bytes), 0));
  EXPECT_STREQ("Ab", plug.GetPresetName(0));
}

TEST(PresetBankTest, ZeroFlagMakesAPresetUninitialized)
{
  TestPlug plug(1, "2-2", 1);
  plug.CreateDefaultPreset("Init", 1);
  Bytes bytes;
  AppendPreset(bytes, NameBytes("Gone"), false);
  plug.UnserializePresets(ChunkOf(bytes), 0);
  EXPECT_STREQ("user preset 1", plug.GetPresetName(0))
      << "restoring the now empty current slot turns it into a user preset";
  EXPECT_EQ(8, plug.GetPreset(0)->mChunk.Size()) << "its old chunk was replaced, not extended";
}
