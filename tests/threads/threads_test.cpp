// Three threads at once, as hosts arrange them, through the real host
// interface of the program's format: an audio thread rendering blocks with
// MIDI; a user-interface thread ticking the editor, dragging knobs and
// running preset actions; a third thread saving and restoring state and
// changing parameters. Bounded: a deadlock shows as the test's timeout.
// Built with ThreadSanitizer by the tsan preset, plainly elsewhere.

#include "control.h"
#include "kick_engine.h"
#include "layout_table.h"
#include "preset_sandbox.h"
#include "threaded_plugin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

namespace
{
constexpr int kAudioBlocks = 800;
constexpr int kEditorRounds = 150;
constexpr int kHostRounds = 200;

IRect ControlRect(IGraphicsHeadless& gui, int paramIdx)
{
  for (int i = 0; i < gui.NControls(); ++i)
    if (gui.GetControl(i)->ParamIdx() == paramIdx) return gui.GetControl(i)->GetRECT();
  return IRect();
}

void ClickCentre(IGraphicsHeadless& gui, const IRect& rect, int dragY = 0)
{
  IMouseKeys left(true, false, false, false, false);
  const int x = (rect.L + rect.R) / 2;
  const int y = (rect.T + rect.B) / 2;
  gui.OnMouseDown(x, y, &left);
  if (dragY) gui.OnMouseDrag(x, y + dragY, &left);
  gui.OnMouseUp(x, y + dragY, &left);
}

void RenderWithMidi(StressSession& session)
{
  std::mt19937 gen(7);
  for (int block = 0; block < kAudioBlocks; ++block)
  {
    const int frames = 1 + int(gen() % 512);
    const auto note = static_cast<unsigned char>(30 + gen() % 40);
    switch (gen() % 4)
    {
    case 0:
      session.QueueMidi({0, 0x90, note, static_cast<unsigned char>(1 + gen() % 127)});
      break;
    case 1:
      session.QueueMidi({int(gen() % frames), 0x80, note, 0});
      break;
    case 2:
      session.QueueMidi({0, 0xB0, static_cast<unsigned char>(gen() % 128), 64});
      break;
    default:
      break;
    }
    session.Process(frames);
  }
}

void UseEditor(IGraphicsHeadless& gui, const std::string& userPreset)
{
  static constexpr int kKnobs[] = {EngineParam::BassAmpLevel, EngineParam::BassEnvDecay,
                                   EngineParam::MainVolume, EngineParam::SnapPitchAmt,
                                   EngineParam::TransistorDistLoad};
  for (int round = 0; round < kEditorRounds; ++round)
  {
    gui.Tick();
    ClickCentre(gui, ControlRect(gui, kKnobs[round % 5]), round % 2 ? 15 : -15);
    switch (round % 12)
    {
    case 3:
      ClickCentre(gui, ControlRect(gui, EngineParam::PresetForward));
      break;
    case 5:
      ClickCentre(gui, ControlRect(gui, EngineParam::PresetBackward));
      break;
    case 7:
      gui.QueueMenuChoice({2, round % 18});
      ClickCentre(gui, gui.GetControl(LayoutRow::kPresetMenu)->GetRECT());
      break;
    case 9:
      gui.QueueFileChoice(userPreset);
      ClickCentre(gui, ControlRect(gui, EngineParam::PresetSave));
      break;
    case 11:
      gui.QueueFileChoice(userPreset);
      ClickCentre(gui, ControlRect(gui, EngineParam::PresetLoad));
      break;
    default:
      break;
    }
  }
}

void UseHostState(StressSession& session)
{
  std::mt19937 gen(11);
  for (int round = 0; round < kHostRounds; ++round)
  {
    const std::vector<char> state = session.SaveState();
    EXPECT_FALSE(state.empty());
    session.SetFromUserInterface(int(gen() % 19), double(gen() % 1001) / 1000.0);
    if (round % 3 == 0)
    {
      EXPECT_TRUE(session.RestoreState(state)) << "round " << round;
    }
  }
}

class ThreeThreads : public ::testing::TestWithParam<bool>
{
};

TEST_P(ThreeThreads, AudioEditorAndHostStateRunTogether)
{
  PresetSandbox sandbox;
  ASSERT_TRUE(sandbox.Ready());
  std::error_code error;
  std::filesystem::copy(THUDWERK_PRESET_SOURCE_DIR "/Factory", sandbox.PresetFolder() + "Factory",
                        std::filesystem::copy_options::overwrite_existing, error);
  ASSERT_FALSE(error) << error.message();
  std::unique_ptr<StressSession> session = OpenThreadedPlugin(GetParam());
  ASSERT_TRUE(session);
  IGraphicsHeadless* gui = EditorOf(*session);
  ASSERT_TRUE(gui);

  std::thread audio(RenderWithMidi, std::ref(*session));
  std::thread editor(UseEditor, std::ref(*gui), sandbox.UserFile("Threads.thudwerkpreset"));
  std::thread host(UseHostState, std::ref(*session));
  audio.join();
  editor.join();
  host.join();
  EXPECT_EQ(session->badSamples, 0) << session->firstBad;
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, ThreeThreads, ::testing::Values(true, false),
                         [](const auto& test) { return test.param ? "Single" : "Double"; });
} // namespace
