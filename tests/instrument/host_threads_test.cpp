// The instrument built into the program, driven through its AEffect as a
// VST2 host drives it: which thread reads preset files, and whether the host
// is ever called back while the instance lock is held.

#include "layout_table.h"
#include "preset_file_store.h"
#include "preset_sandbox.h"
#include "thudwerk.h"
#include "vst2_test_host.h"

#include "control.h"
#include "graphics_headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace
{
using namespace EngineParam;

AEffect* BuiltInEntry(audioMasterCallback host)
{
  return (new Thudwerk(host))->GetAEffect();
}

// Checks, at every callback, that another thread could take the instance
// lock right then.
class LockCheckingHost : public Vst2TestHost
{
public:
  CriticalSection* instanceLock = nullptr;
  int callsUnderLock = 0;

protected:
  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override
  {
    if (instanceLock)
    {
      const bool free = std::async(std::launch::async,
                                   [this]
                                   {
                                     if (!instanceLock->TryEnter()) return false;
                                     instanceLock->Leave();
                                     return true;
                                   })
                            .get();
      if (!free) ++callsUnderLock;
    }
    return Vst2TestHost::Answer(opcode, index, value, ptr, opt);
  }
};

// Counts reads per thread on the way to the real files.
class CountingStore : public PresetFileStore
{
public:
  PresetFileRead ReadLastLine(const std::string& path, std::string& lastLine) override
  {
    Count();
    return SystemPresetFileStore().ReadLastLine(path, lastLine);
  }
  bool WriteText(const std::string& path, const std::string& text) override
  {
    Count();
    return SystemPresetFileStore().WriteText(path, text);
  }
  int CallsFrom(std::thread::id thread)
  {
    std::lock_guard<std::mutex> lock(mMutex);
    return int(std::count(mThreads.begin(), mThreads.end(), thread));
  }
  int Calls()
  {
    std::lock_guard<std::mutex> lock(mMutex);
    return int(mThreads.size());
  }

private:
  void Count()
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mThreads.push_back(std::this_thread::get_id());
  }
  std::mutex mMutex;
  std::vector<std::thread::id> mThreads;
};

class HostThreadsTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("WLCM - The Deep Diver"),
                               "<BassEnvDecay>0.85</BassEnvDecay><MainVolume>0.5</MainVolume>"));
    effect = host.InstantiateFrom(&BuiltInEntry);
    ASSERT_NE(effect, nullptr);
    plug = static_cast<Thudwerk*>(static_cast<IPlugVST*>(effect->object));
    gui = dynamic_cast<IGraphicsHeadless*>(plug->GetEditor());
    ASSERT_NE(gui, nullptr);
    host.instanceLock = &plug->GetLock();
    plug->UsePresetFileStore(store);
    host.Dispatch(effect, effOpen);
    host.Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(effect, effSetBlockSize, 0, 64);
    host.Dispatch(effect, effMainsChanged, 0, 1);
  }

  float Get(int index) { return effect->getParameter(effect, index); }
  bool SoundArrived() { return Get(BassEnvDecay) == 0.85f && Get(MainVolume) == 0.5f; }
  void Press(int row, int dy)
  {
    const IRect& rect = gui->GetControl(row)->GetRECT();
    const int x = (rect.L + rect.R) / 2, y = (rect.T + rect.B) / 2;
    IMouseKeys left(true, false, false, false, false);
    gui->OnMouseDown(x, y, &left);
    if (dy) gui->OnMouseDrag(x, y + dy, &left);
    gui->OnMouseUp(x, y + dy, &left);
  }
  int RowOf(int paramIdx)
  {
    for (int i = 0; i < gui->NControls(); ++i)
      if (gui->GetControl(i)->ParamIdx() == paramIdx) return i;
    return -1;
  }

  PresetSandbox sandbox;
  CountingStore store;
  LockCheckingHost host;
  AEffect* effect = nullptr;
  Thudwerk* plug = nullptr;
  IGraphicsHeadless* gui = nullptr;
};

TEST_F(HostThreadsTest, AutomatedPresetIsReadOffTheAudioThreadWithinBlocks)
{
  // Index 1 is the Deep Diver; PresetSelector spans -1 to 10000.
  effect->setParameter(effect, PresetSelector, float(2.0 / 10001.0));
  EXPECT_TRUE(host.PlayUntil(
      effect, [this] { return SoundArrived(); }, 500));
  EXPECT_GT(store.Calls(), 0);
  EXPECT_EQ(store.CallsFrom(std::this_thread::get_id()), 0) << "the host's audio thread";

  // Writing every value back unchanged, as hosts restore, reads nothing.
  effect->setParameter(effect, BassEnvDecay, 0.3f);
  const int reads = store.Calls();
  for (int i = 0; i < effect->numParams; ++i)
    effect->setParameter(effect, i, Get(i));
  host.PlayUntil(
      effect, [] { return false; }, 20);
  EXPECT_EQ(store.Calls(), reads);
  EXPECT_EQ(Get(BassEnvDecay), 0.3f);

  effect->setParameter(effect, PresetBackward, 1.0f); // to index 0: names no file
  effect->setParameter(effect, PresetForward, 1.0f);
  EXPECT_TRUE(host.PlayUntil(
      effect, [this] { return SoundArrived(); }, 500));
  EXPECT_EQ(store.CallsFrom(std::this_thread::get_id()), 0);
}

TEST_F(HostThreadsTest, HostIsCalledBackOnlyWithTheLockFree)
{
  Press(RowOf(BassEnvDecay), -20); // a knob: gesture and automation
  gui->QueueMenuChoice({1});       // the Deep Diver from the menu
  Press(LayoutRow::kPresetMenu, 0);
  EXPECT_TRUE(SoundArrived());
  Vst2EventList controller;
  controller.AddMidi(0, 0xB0, 7, 127); // MainVolume by MIDI
  host.SendEvents(effect, controller);
  host.PlayUntil(
      effect, [] { return false; }, 2);
  host.Dispatch(effect, effEditIdle);
  host.Dispatch(effect, effSetProgram, 0, 0);
  gui->QueueFileChoice(sandbox.UserFile("Saved"));
  Press(LayoutRow::kPresetSave, 0);

  EXPECT_EQ(host.callsUnderLock, 0);
  for (VstInt32 opcode : {audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit,
                          audioMasterGetTime, audioMasterWantMidi, audioMasterGetProductString})
    EXPECT_GT(host.CountCalls(opcode), 0) << opcode;
  EXPECT_GE(host.CountCalls(audioMasterUpdateDisplay), 3) << "preset load, controller, program";
  EXPECT_EQ(host.CountCalls(audioMasterBeginEdit), host.CountCalls(audioMasterEndEdit));
}

TEST_F(HostThreadsTest, SaveButtonEndsItsGestureBeforeThePromptOpens)
{
  host.ClearRecords();
  gui->QueueFileChoice(sandbox.UserFile("Saved"));
  const IRect& rect = gui->GetControl(LayoutRow::kPresetSave)->GetRECT();
  IMouseKeys left(true, false, false, false, false);
  // The modal prompt swallows the release: only the press arrives.
  gui->OnMouseDown((rect.L + rect.R) / 2, (rect.T + rect.B) / 2, &left);
  std::vector<VstInt32> edits;
  for (const HostCall& call : host.calls)
    if (call.opcode != audioMasterGetTime && call.opcode != audioMasterWantMidi)
      edits.push_back(call.opcode);
  const std::vector<VstInt32> expected{audioMasterBeginEdit, audioMasterEndEdit,
                                       audioMasterBeginEdit, audioMasterAutomate,
                                       audioMasterEndEdit};
  EXPECT_EQ(edits, expected) << "the answer comes in a gesture of its own";
  EXPECT_TRUE(FileExists(sandbox.UserFile("Saved")));
}
} // namespace
