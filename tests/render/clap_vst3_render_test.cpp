// The CLAP and VST3 builds sound the same to the bit: one scenario (notes
// of every length down to a fraction of the 1 ms retrigger hold, a MIDI
// file with notes and controllers, parameter changes, a factory preset)
// played through both with the renderer's hosts, at several rates and block
// sizes, in both precisions.

#include "midi_bytes.h"
#include "midi_file.h"
#include "plugin_instance.h"
#include "preset_sandbox.h"
#include "render_events.h"
#include "render_session.h"

#include "kick_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

constexpr double kTempo = 120.0;
constexpr double kSeconds = 0.9;

// Notes from the command line's kind of list: overlapping ones (the newest
// wins), a note far shorter than the retrigger hold, one of 1 ms.
const std::vector<NoteSpec> kNotes = {
    {36, 100, 0.0, 0.1}, {41, 127, 0.08, 0.05}, {38, 90, 0.2, 0.0002}, {43, 1, 0.3, 0.001}};

// A MIDI file on channel 10 (played on the instrument's channel): a note
// and the controllers that move parameters, one of them mid-note.
MidiFileContents ControllerFile()
{
  // 480 ticks a quarter at 120 BPM: 96 ticks are 0.1 s.
  const Bytes bytes = Join(
      {HeaderChunk(0, 1, 480),
       Track(Join({Event(192, {0xB9, 1, 90}), Event(0, {0xB9, 7, 100}), Event(48, {0x99, 45, 110}),
                   Event(24, {0xB9, 9, 30}), Event(0, {0xB9, 2, 127}), Event(24, {0xB9, 13, 64}),
                   Event(48, {0x89, 45, 0}), EndOfTrack(96)}))});
  MidiFileContents file;
  std::string error;
  EXPECT_TRUE(ParseMidiFile(bytes, &file, &error)) << error;
  return file;
}

RenderEvent Setting(double seconds, double sampleRate, int parameter, double value)
{
  RenderEvent event{SecondsToFrame(seconds, sampleRate), RenderEvent::kParameter};
  event.parameterId = parameter;
  event.value = value;
  return event;
}

std::vector<RenderEvent> Scenario(double sampleRate)
{
  std::vector<RenderEvent> events = {
      Setting(0.0, sampleRate, EngineParam::TransistorDistLoad, 0.5),
      Setting(0.05, sampleRate, EngineParam::BassEnvDecay, 0.25),
      Setting(0.25, sampleRate, EngineParam::ReverbOffOn, 1.0),
      // The preset sandbox's first factory preset, then a note in its sound.
      Setting(0.6, sampleRate, EngineParam::PresetSelector, 1.0),
  };
  std::vector<NoteSpec> notes = kNotes;
  notes.push_back({36, 120, 0.6, 0.1});
  AddNoteEvents(notes, sampleRate, &events);
  AddMidiFileEvents(ControllerFile(), 10, sampleRate, &events);
  SortEvents(&events);
  return events;
}

// VST3 carries notes only: a host automates the parameter a controller
// moves in the other formats, with the controller's value over 127 (all
// these parameters run from 0 to 1, so plain and normalized agree).
std::vector<RenderEvent> ControllersAsAutomation(std::vector<RenderEvent> events)
{
  const std::pair<int, int> controllerParameters[] = {{1, EngineParam::TransistorDistLoad},
                                                      {2, EngineParam::ReverbOffOn},
                                                      {7, EngineParam::MainVolume},
                                                      {9, EngineParam::BassEnvDecay},
                                                      {13, EngineParam::SnapPitchAmt}};
  for (RenderEvent& event : events)
  {
    if (event.kind != RenderEvent::kMidi || (event.status & 0xF0) != 0xB0) continue;
    const auto* found =
        std::find_if(std::begin(controllerParameters), std::end(controllerParameters),
                     [&](const auto& pair) { return pair.first == event.data1; });
    EXPECT_NE(found, std::end(controllerParameters)) << "controller " << int(event.data1);
    if (found == std::end(controllerParameters)) continue;
    event.kind = RenderEvent::kParameter;
    event.parameterId = found->second;
    event.value = event.data2 / 127.0;
  }
  return events;
}

struct RenderSetup
{
  double sampleRate;
  int blockFrames;
  bool doublePrecision;
};

std::vector<std::vector<double>> Render(const std::string& path, const RenderSetup& setup,
                                        const std::vector<RenderEvent>& events)
{
  std::string error;
  PluginSettings settings{setup.sampleRate, setup.blockFrames, setup.doublePrecision};
  std::unique_ptr<PluginInstance> plugin = OpenPlugin(path, settings, &error);
  EXPECT_TRUE(plugin) << path << ": " << error;
  if (!plugin) return {};
  std::vector<std::vector<double>> sound;
  int undelivered = 0;
  EXPECT_TRUE(RenderSound(*plugin, events, SecondsToFrame(kSeconds, setup.sampleRate),
                          setup.blockFrames, kTempo, &sound, &undelivered, &error))
      << path << ": " << error;
  EXPECT_EQ(undelivered, 0) << path;
  return sound;
}

class ClapAndVst3 : public ::testing::TestWithParam<RenderSetup>
{
};

TEST_P(ClapAndVst3, RenderTheSameScenarioToTheBit)
{
  PresetSandbox sandbox;
  ASSERT_TRUE(sandbox.Ready());
  ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("WLCM - The Deep Diver"),
                             "<BassEnvDecay>0.875</BassEnvDecay><BassPitchAmt>0.125</BassPitchAmt>"
                             "<ReverbOffOn>0</ReverbOffOn><SnapAmpLevel>0.5</SnapAmpLevel>"));
  const RenderSetup& setup = GetParam();
  const std::vector<RenderEvent> events = Scenario(setup.sampleRate);
  const auto clap = Render(THUDWERK_CLAP_PLUGIN_PATH, setup, events);
  const auto vst3 = Render(THUDWERK_VST3_BUNDLE, setup, ControllersAsAutomation(events));
  ASSERT_EQ(clap.size(), 2u);
  ASSERT_EQ(vst3.size(), 2u);
  for (std::size_t channel = 0; channel < 2; ++channel)
  {
    double peak = 0.0;
    for (double sample : vst3[channel])
      peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.05) << "the comparison must be of sound";
    ASSERT_EQ(clap[channel].size(), vst3[channel].size());
    for (std::size_t i = 0; i < clap[channel].size(); ++i)
      ASSERT_EQ(std::memcmp(&clap[channel][i], &vst3[channel][i], sizeof(double)), 0)
          << "channel " << channel << " frame " << i << ": " << clap[channel][i] << " against "
          << vst3[channel][i];
  }
}

INSTANTIATE_TEST_SUITE_P(
    RatesBlocksAndPrecisions, ClapAndVst3,
    ::testing::Values(RenderSetup{44100.0, 1024, true}, RenderSetup{44100.0, 1024, false},
                      RenderSetup{48000.0, 64, true}, RenderSetup{48000.0, 64, false},
                      RenderSetup{96000.0, 1, true}, RenderSetup{96000.0, 1, false}),
    [](const auto& test)
    {
      return std::to_string(int(test.param.sampleRate)) + "Hz_" +
             std::to_string(test.param.blockFrames) + "Frames_" +
             (test.param.doublePrecision ? "64" : "32") + "Bit";
    });

} // namespace
