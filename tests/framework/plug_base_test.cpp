#include "test_plug.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{
// An editor that records what the plug-in hands it.
class FakeEditor : public IPlugEditor
{
public:
  explicit FakeEditor(bool* deleted = nullptr) : mDeleted(deleted) {}
  ~FakeEditor() override
  {
    if (mDeleted) *mDeleted = true;
  }
  void TakeParamValueFromPlug(int paramIdx, double normalized) override
  {
    mLog.push_back("take" + std::to_string(paramIdx));
    mValues.push_back(normalized);
  }
  void PrepareDraw() override { mLog.push_back("prepare"); }
  void PushParamToControls(int paramIdx, double value, bool normalized) override
  {
    mLog.push_back("push" + std::to_string(paramIdx) + (normalized ? "n" : "p"));
    mValues.push_back(value);
  }

  std::vector<std::string> mLog;
  std::vector<double> mValues;

private:
  bool* mDeleted;
};
} // namespace

TEST(PlugBaseTest, ConstructionStoresIdentityAndStartValues)
{
  TestPlug plug;
  EXPECT_STREQ("Thudwerk", plug.GetEffectName());
  EXPECT_STREQ("", plug.GetProductName());
  EXPECT_STREQ("VornAudio", plug.GetMakerName());
  EXPECT_EQ(('V' << 24) | ('r' << 16) | ('c' << 8) | '5', plug.GetUniqueID());
  EXPECT_EQ(('V' << 24) | ('r' << 16) | ('n' << 8) | 'a', plug.GetMakerID());
  EXPECT_EQ(0x00010002, plug.GetVersion());
  EXPECT_EQ(kApiVST3, plug.GetApiKind());
  EXPECT_EQ(-1, plug.GetHostId());
  EXPECT_EQ(0, plug.GetHostVersion());
  EXPECT_TRUE(plug.DoesMidi());
  EXPECT_FALSE(plug.DoesStateChunks());
  EXPECT_TRUE(plug.IsInstrument());
  EXPECT_FALSE(plug.IsBypassed());
  EXPECT_EQ(0, plug.GetCurrentPresetIdx());
  EXPECT_EQ(44100.0, plug.GetSampleRate());
  EXPECT_EQ(0, plug.GetBlockSize());
  EXPECT_EQ(0, plug.GetLatency());
  EXPECT_EQ(0, plug.GetTailSize());
  EXPECT_EQ(nullptr, plug.GetEditor());
  EXPECT_FALSE(plug.IsOfflineRender());
}

TEST(PlugBaseTest, ConstructionBuildsUndefinedParamsAndEmptyPresets)
{
  TestPlug plug(27, "2-2", 3);
  ASSERT_EQ(27, plug.ParamCount());
  for (int i = 0; i < 27; ++i)
  {
    EXPECT_EQ(TypeNone, plug.GetParam(i)->Type());
    EXPECT_EQ(1.0, plug.GetParam(i)->Max());
  }
  ASSERT_EQ(3, plug.PresetCount());
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_STREQ("empty", plug.GetPresetName(i));
    EXPECT_FALSE(plug.GetPreset(i)->mInitialized);
    EXPECT_EQ(0, plug.GetPreset(i)->mChunk.Size());
  }
}

TEST(PlugBaseTest, IndicesOutsideTheListsGiveNothing)
{
  TestPlug plug;
  EXPECT_EQ(nullptr, plug.GetParam(-1));
  EXPECT_EQ(nullptr, plug.GetParam(27));
  EXPECT_EQ(nullptr, plug.GetPreset(1));
  EXPECT_STREQ("", plug.GetPresetName(-1));
  EXPECT_STREQ("", plug.GetPresetName(1));
  EXPECT_EQ(nullptr, plug.GetInChannel(2));
  EXPECT_EQ(nullptr, plug.GetOutChannel(-1));
  plug.SetParameterFromEditor(27, 0.5);
  plug.SetParameterFromEditor(-1, 0.5);
  EXPECT_TRUE(plug.mHostLog.empty());
  EXPECT_TRUE(plug.mChanged.empty());
}

TEST(PlugBaseTest, ChannelStringTwoTwo)
{
  TestPlug plug;
  ASSERT_EQ(1u, plug.ChannelConfigurations().size());
  EXPECT_EQ(2, plug.InChannelCount());
  EXPECT_EQ(2, plug.OutChannelCount());
  EXPECT_FALSE(plug.GetInChannel(0)->mConnected);
  EXPECT_FALSE(plug.GetOutChannel(1)->mConnected);
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(2, -1));
  EXPECT_TRUE(plug.LegalIO(-1, -1));
  EXPECT_FALSE(plug.LegalIO(1, -1));
  EXPECT_FALSE(plug.LegalIO(2, 1));
}

TEST(PlugBaseTest, SeveralChannelConfigurationsSizeByTheirMaxima)
{
  TestPlug plug(1, "1-1 2-2 0-4", 1);
  const std::vector<ChannelIO>& io = plug.ChannelConfigurations();
  ASSERT_EQ(3u, io.size());
  EXPECT_EQ(1, io[0].mInputs);
  EXPECT_EQ(4, io[2].mOutputs);
  EXPECT_EQ(2, plug.InChannelCount());
  EXPECT_EQ(4, plug.OutChannelCount());
  EXPECT_TRUE(plug.LegalIO(1, -1));
  EXPECT_TRUE(plug.LegalIO(0, 4));
  EXPECT_FALSE(plug.LegalIO(1, 2));
}

TEST(PlugBaseTest, UnparsableCountsAreZero)
{
  const std::vector<ChannelIO> io = ParseChannelIO("x-2 3 4-y");
  ASSERT_EQ(3u, io.size());
  EXPECT_EQ(0, io[0].mInputs);
  EXPECT_EQ(0, io[0].mOutputs) << "the outputs are not read after a failed input count";
  EXPECT_EQ(3, io[1].mInputs);
  EXPECT_EQ(0, io[1].mOutputs);
  EXPECT_EQ(4, io[2].mInputs);
  EXPECT_EQ(0, io[2].mOutputs);
  ASSERT_EQ(1u, ParseChannelIO(nullptr).size());
}

TEST(PlugBaseTest, LongIdentityTextsAreCut)
{
  const std::string longName(300, 'a');
  TestPlug plug(0, "", 0, longName.c_str(), kApiVST2);
  EXPECT_EQ(std::string(kIdentityTextSize - 1, 'a'), plug.GetEffectName());
  EXPECT_EQ(kApiVST2, plug.GetApiKind());
  EXPECT_EQ(0, plug.InChannelCount());
  EXPECT_EQ(0, plug.OutChannelCount());
}

TEST(PlugBaseTest, EditorChangeSetsValueNotifiesHostThenHandlesIt)
{
  TestPlug plug;
  plug.GetParam(3)->DefineDouble("P", 0.0, 0.0, 10.0, 0.00001);
  plug.SetParameterFromEditor(3, 0.25);
  EXPECT_EQ(2.5, plug.GetParam(3)->Value());
  EXPECT_EQ(std::vector<std::string>{"value3"}, plug.mHostLog);
  EXPECT_EQ(std::vector<double>{0.25}, plug.mNotifiedValues);
  EXPECT_EQ(std::vector<int>{3}, plug.mChanged);
}

TEST(PlugBaseTest, AttachEditorHandsEveryNormalizedValueThenPrepares)
{
  TestPlug plug(3, "2-2", 1);
  plug.DefineDistinctParams();
  auto* editor = new FakeEditor;
  plug.AttachEditor(editor);
  EXPECT_EQ(editor, plug.GetEditor());
  EXPECT_EQ((std::vector<std::string>{"take0", "take1", "take2", "prepare"}), editor->mLog);
  for (int i = 0; i < 3; ++i)
    EXPECT_DOUBLE_EQ((i + 0.5) / (10.0 * (i + 1)), editor->mValues[static_cast<size_t>(i)]);
}

TEST(PlugBaseTest, AttachingNoEditorChangesNothing)
{
  TestPlug plug;
  plug.AttachEditor(nullptr);
  EXPECT_EQ(nullptr, plug.GetEditor());
  plug.RefreshParamControls(); // no editor: nothing to reach
}

TEST(PlugBaseTest, RefreshPushesPlainValuesInIndexOrder)
{
  TestPlug plug(2, "2-2", 1);
  plug.DefineDistinctParams();
  auto* editor = new FakeEditor;
  plug.AttachEditor(editor);
  editor->mLog.clear();
  editor->mValues.clear();
  plug.RefreshParamControls();
  EXPECT_EQ((std::vector<std::string>{"push0p", "push1p"}), editor->mLog);
  EXPECT_EQ((std::vector<double>{0.5, 1.5}), editor->mValues);
}

TEST(PlugBaseTest, TheBaseDeletesItsEditors)
{
  bool firstDeleted = false;
  bool secondDeleted = false;
  {
    TestPlug plug;
    plug.AttachEditor(new FakeEditor(&firstDeleted));
    plug.AttachEditor(plug.GetEditor());
    EXPECT_FALSE(firstDeleted) << "attaching the same editor again keeps it";
    plug.AttachEditor(new FakeEditor(&secondDeleted));
    EXPECT_TRUE(firstDeleted) << "a replaced editor is not leaked";
    EXPECT_FALSE(secondDeleted);
  }
  EXPECT_TRUE(secondDeleted);
}

TEST(PlugBaseTest, DefaultMidiHandlingSendsTheMessageBack)
{
  TestPlug plug;
  IMidiEvent message;
  message.mOffset = 12;
  message.mStatus = 0x91;
  message.mData1 = 60;
  message.mData2 = 1;
  plug.HandleMidiEvent(message);
  ASSERT_EQ(1u, plug.mSentMidi.size());
  EXPECT_EQ(12, plug.mSentMidi[0].mOffset);
  EXPECT_EQ(0x91, plug.mSentMidi[0].mStatus);
  EXPECT_EQ(60, plug.mSentMidi[0].mData1);
  EXPECT_EQ(1, plug.mSentMidi[0].mData2);
  EXPECT_FALSE(plug.SendSysExMessage(ISysEx{}));
}

TEST(PlugBaseTest, NoteNameIsEmptyAndFalse)
{
  TestPlug plug;
  char text[8] = "junk";
  EXPECT_FALSE(plug.NoteName(60, text, sizeof text));
  EXPECT_STREQ("", text);
  EXPECT_FALSE(plug.NoteName(60, nullptr, 0));
}

TEST(PlugBaseTest, TheInstanceLockIsRecursiveAndExclusive)
{
  TestPlug plug;
  std::atomic<bool> otherEntered{false};
  std::thread other;
  {
    CriticalSectionLock outer(plug.GetLock());
    // Nested entry from the same thread, as when an entry point that holds
    // the lock calls Reset or SetParameterFromEditor.
    plug.Reset();
    plug.SetParameterFromEditor(0, 1.0);
    other = std::thread(
        [&]
        {
          CriticalSectionLock lock(plug.GetLock());
          otherEntered = true;
        });
    for (int i = 0; i < 1000; ++i)
      std::this_thread::yield();
    EXPECT_FALSE(otherEntered) << "another thread cannot enter while the lock is held";
  }
  other.join();
  EXPECT_TRUE(otherEntered);
  EXPECT_EQ(std::vector<int>{0}, plug.mChanged);
}
