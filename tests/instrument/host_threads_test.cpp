// The instrument built into the program and driven through its AEffect as
// a VST2 host drives it: restores keep the user's sound, preset files are
// read off the audio thread, a preset still being read loses to anything
// newer, and the host is never called back while the instance lock is
// held.

#include "control.h"
#include "headless/graphics_headless.h"
#include "layout_table.h"
#include "preset_file_store.h"
#include "preset_sandbox.h"
#include "thudwerk.h"
#include "vst2_test_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

namespace
{
using namespace EngineParam;

AEffect* BuiltInEntry(audioMasterCallback host)
{
  return (new Thudwerk(host))->GetAEffect();
}

// Checks at every callback that another thread could take the instance
// lock right then.
class LockCheckingHost : public Vst2TestHost
{
public:
  CriticalSection* instanceLock = nullptr;
  int callsUnderLock = 0;

protected:
  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override
  {
    auto isFree = [this]
    {
      if (!instanceLock->TryEnter()) return false;
      instanceLock->Leave();
      return true;
    };
    if (instanceLock && !std::async(std::launch::async, isFree).get()) ++callsUnderLock;
    return Vst2TestHost::Answer(opcode, index, value, ptr, opt);
  }
};

// The files themselves; reads counted, and those on the test's thread, the
// host's audio thread here.
struct CountingStore : PresetFileStore
{
  PresetFileRead ReadLastLine(const std::string& path, std::string& lastLine) override
  {
    ++reads;
    if (std::this_thread::get_id() == audioThread) ++readsOnAudioThread;
    return SystemPresetFileStore().ReadLastLine(path, lastLine);
  }
  bool WriteText(const std::string& path, const std::string& text) override
  {
    return SystemPresetFileStore().WriteText(path, text);
  }
  const std::thread::id audioThread = std::this_thread::get_id();
  std::atomic<int> reads{0};
  std::atomic<int> readsOnAudioThread{0};
};

// Once armed, holds the next read until released, so that the test acts
// while a preset file is on its way.
struct HoldingStore : CountingStore
{
  PresetFileRead ReadLastLine(const std::string& path, std::string& lastLine) override
  {
    if (armed.exchange(false))
    {
      reading.set_value();
      released.get_future().wait();
    }
    return CountingStore::ReadLastLine(path, lastLine);
  }
  void Arm()
  {
    reading = {};
    released = {};
    armed = true;
  }
  std::atomic<bool> armed{false};
  std::promise<void> reading;
  std::promise<void> released;
};

class HostThreadsTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    // The Deep Diver (catalogue index 1) as the measured report had it.
    ASSERT_TRUE(sandbox.Ready());
    ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("WLCM - The Deep Diver"),
                               "<BassEnvDecay>0.85</BassEnvDecay><MainVolume>0.8</MainVolume>"));
    effect = host.InstantiateFrom(&BuiltInEntry);
    ASSERT_NE(effect, nullptr);
    plug = static_cast<Thudwerk*>(static_cast<IPlugVST*>(effect->object));
    gui = dynamic_cast<IGraphicsHeadless*>(plug->GetEditor());
    ASSERT_NE(gui, nullptr);
    host.instanceLock = &plug->GetLock();
    plug->UsePresetFileStore(store);
    host.Dispatch(effect, effOpen);
    host.Dispatch(effect, effSetBlockSize, 0, 64);
    host.Dispatch(effect, effMainsChanged, 0, 1);
    // The start reads the catalogue, on the thread that plays the host's
    // user-interface thread then; from here on it plays the audio thread.
    store.readsOnAudioThread = 0;
  }

  float Get(int index) { return effect->getParameter(effect, index); }
  void Tweak(float decay, float volume)
  {
    effect->setParameter(effect, BassEnvDecay, decay);
    effect->setParameter(effect, MainVolume, volume);
  }
  // After enough blocks for anything read late to arrive.
  void ExpectSound(float decay, float volume, const char* how)
  {
    host.PlayUntil(
        effect, [] { return false; }, 30);
    EXPECT_EQ(Get(BassEnvDecay), decay) << how;
    EXPECT_EQ(Get(MainVolume), volume) << how;
  }
  VstIntPtr SetChunk(std::vector<char> chunk)
  {
    return host.Dispatch(effect, effSetChunk, 1, VstIntPtr(chunk.size()), chunk.data());
  }
  // A left press at the middle of a control, dragged dy and released.
  void Press(int row, int dy, bool release = true)
  {
    const IRect& rect = gui->GetControl(row)->GetRECT();
    const int x = (rect.L + rect.R) / 2, y = (rect.T + rect.B) / 2;
    IMouseKeys left(true, false, false, false, false);
    gui->OnMouseDown(x, y, &left);
    if (dy) gui->OnMouseDrag(x, y + dy, &left);
    if (release) gui->OnMouseUp(x, y + dy, &left);
  }

  PresetSandbox sandbox;
  CountingStore store;
  LockCheckingHost host;
  AEffect* effect = nullptr;
  Thudwerk* plug = nullptr;
  IGraphicsHeadless* gui = nullptr;
};

TEST_F(HostThreadsTest, AutomatedPresetLandsAtOnceAndRestoresKeepTheTweak)
{
  // PresetSelector spans -1 to 10000.
  effect->setParameter(effect, MainVolume, 0.1f);
  effect->setParameter(effect, PresetSelector, float(2.0 / 10001.0));
  EXPECT_EQ(Get(BassEnvDecay), 0.85f) << "from memory, before the next block";
  EXPECT_EQ(Get(MainVolume), 0.8f);

  Tweak(0.9f, 0.33f);
  void* data = nullptr;
  const VstIntPtr size = host.Dispatch(effect, effGetChunk, 1, 0, &data);
  ASSERT_EQ(size, 8 + 27 * 8);
  const std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);
  std::vector<float> values;
  for (int i = 0; i < effect->numParams; ++i)
    values.push_back(Get(i));

  Tweak(0.1f, 0.1f);
  EXPECT_EQ(SetChunk(saved), 1);
  ExpectSound(0.9f, 0.33f, "effSetChunk");
  Tweak(0.1f, 0.1f);
  for (int i = 0; i < effect->numParams; ++i)
    effect->setParameter(effect, i, values[size_t(i)]);
  ExpectSound(0.9f, 0.33f, "every parameter written back");
  EXPECT_EQ(host.Dispatch(effect, effSetProgram, 0, 0), 0);
  ExpectSound(0.9f, 0.33f, "the current program set again");

  std::vector<char> damaged = saved;
  damaged[0] = 'x';
  for (const std::vector<char>& chunk :
       {std::vector<char>(saved.begin(), saved.begin() + 100),
        std::vector<char>(saved.begin(), saved.end() - 1), damaged})
  {
    Tweak(0.1f, 0.2f);
    EXPECT_EQ(SetChunk(chunk), 0) << chunk.size();
    ExpectSound(0.1f, 0.2f, "short or damaged");
  }

  effect->setParameter(effect, PresetForward, 1.0f); // index 2 names no file here
  effect->setParameter(effect, PresetBackward, 1.0f);
  EXPECT_TRUE(host.PlayUntil(
      effect, [this] { return Get(BassEnvDecay) == 0.85f; }, 500));
  EXPECT_EQ(store.readsOnAudioThread, 0);
}

TEST_F(HostThreadsTest, HostIsCalledBackOnlyWithTheLockFree)
{
  const int decayKnob = 8;
  ASSERT_EQ(gui->GetControl(decayKnob)->ParamIdx(), BassEnvDecay);
  Press(decayKnob, -20);     // a knob: gesture and automation
  gui->QueueMenuChoice({1}); // the Deep Diver from the menu
  Press(LayoutRow::kPresetMenu, 0);
  EXPECT_EQ(Get(BassEnvDecay), 0.85f) << "an editor choice is read at once";
  Vst2EventList controller;
  controller.AddMidi(0, 0xB0, 7, 127); // MainVolume by MIDI
  host.SendEvents(effect, controller);
  host.PlayUntil(
      effect, [] { return false; }, 2);
  host.Dispatch(effect, effEditIdle);
  host.Dispatch(effect, effSetProgram, 0, 0);

  EXPECT_EQ(host.callsUnderLock, 0);
  for (VstInt32 opcode : {audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit,
                          audioMasterGetTime, audioMasterWantMidi, audioMasterGetProductString})
    EXPECT_GT(host.CountCalls(opcode), 0) << opcode;
  EXPECT_EQ(host.CountCalls(audioMasterUpdateDisplay), 3) << "preset load, controller, program";

  // The save prompt swallows the release: the press's gesture ends before
  // it opens and the answer comes in a gesture of its own.
  host.ClearRecords();
  gui->QueueFileChoice(sandbox.UserFile("Saved"));
  Press(LayoutRow::kPresetSave, 0, false);
  std::vector<VstInt32> edits;
  for (const HostCall& call : host.calls)
    edits.push_back(call.opcode);
  EXPECT_EQ(edits,
            std::vector<VstInt32>({audioMasterBeginEdit, audioMasterEndEdit, audioMasterBeginEdit,
                                   audioMasterAutomate, audioMasterEndEdit}));
  EXPECT_TRUE(FileExists(sandbox.UserFile("Saved")));
  EXPECT_EQ(host.callsUnderLock, 0);

  // A content-scale switch in the middle of a drag ends its gesture, with
  // the lock free.
  host.ClearRecords();
  Press(decayKnob, -10, false);
  ASSERT_TRUE(plug->SetEditorContentScale(2.0));
  EXPECT_EQ(host.CountCalls(audioMasterEndEdit), 1);
  EXPECT_EQ(host.callsUnderLock, 0);
}

TEST_F(HostThreadsTest, LaterChangesWinOverAPresetStillBeingRead)
{
  HoldingStore holding;
  plug->UsePresetFileStore(holding);
  plug->RunDeferredWork(); // the catalogue read again, through the new store
  // Written after that read: not in memory, so read on the worker.
  ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("EDM - 1990s Dance A"),
                             "<BassEnvDecay>0.25</BassEnvDecay><MainVolume>0.5</MainVolume>"));
  Tweak(0.5f, 0.75f);
  void* data = nullptr;
  const VstIntPtr size = host.Dispatch(effect, effGetChunk, 1, 0, &data);
  const std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);
  struct Case
  {
    const char* later;
    std::function<void()> act;
    float decay, volume;
  };
  const Case cases[] = {
      {"automation", [&] { effect->setParameter(effect, BassEnvDecay, 0.125f); }, 0.125f, 0.5f},
      {"restore", [&] { EXPECT_EQ(SetChunk(saved), 1); }, 0.5f, 0.75f},
      {"the Deep Diver chosen", [&] { effect->setParameter(effect, PresetSelector, 2 / 10001.f); },
       0.85f, 0.8f},
  };
  for (const Case& c : cases)
  {
    Tweak(0.5f, 0.75f);
    effect->setParameter(effect, PresetSelector, 0.0f); // so that the next choice is new
    holding.Arm();
    effect->setParameter(effect, PresetSelector, 3 / 10001.f); // index 2
    // A guard against a read that never comes, not a measure of time.
    ASSERT_EQ(holding.reading.get_future().wait_for(std::chrono::seconds(20)),
              std::future_status::ready)
        << c.later;
    c.act();
    holding.released.set_value();
    plug->RunDeferredWork(); // waits for the worker to finish with the read
    ExpectSound(c.decay, c.volume, c.later);
  }
}
} // namespace
