// thudwerk-render run as a program on the built plug-ins: its WAV holds what
// the engine renders for the same notes and settings, in any format and
// precision and from notes or a MIDI file; notes land on their own sample;
// its picture decodes; a preset chosen on the command line lands in its
// block in every run; failures end with their exit codes.

#include "child_process.h"
#include "kick_engine.h"
#include "lice_png.h"
#include "midi_bytes.h"
#include "preset_sandbox.h"
#include "render_options.h"
#include "wav_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#ifndef THUDWERK_RENDER_PROGRAM
#error "THUDWERK_RENDER_PROGRAM names the renderer under test"
#endif

namespace
{

namespace fs = std::filesystem;

constexpr double kRate = 44100.0;
constexpr int kBlock = 1024;
constexpr int kNoteOffFrame = 4410; // 0.1 s
constexpr int kTotalFrames = 22050; // --duration 0.5

class RenderProgramTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    sFolder = fs::temp_directory_path() / ("thudwerk-render-test-" + std::to_string(stamp));
    fs::create_directories(sFolder);
  }
  static void TearDownTestSuite()
  {
    std::error_code ignored;
    fs::remove_all(sFolder, ignored);
  }

  static std::string PathFor(const std::string& name) { return (sFolder / name).string(); }

  static int Render(const std::vector<std::string>& arguments)
  {
    return RunProgram(THUDWERK_RENDER_PROGRAM, arguments);
  }

  // Renders note 36 at velocity 100 for 0.1 s with MainVolume at 0.5 and
  // returns the WAV's channels.
  static std::vector<std::vector<double>> RenderKick(const std::string& plugin,
                                                     const std::string& precision,
                                                     const std::string& name,
                                                     std::vector<std::string> source = {})
  {
    if (source.empty()) source = {"--note", "36", "--velocity", "100", "--length", "0.1"};
    std::vector<std::string> arguments{plugin,
                                       "-o",
                                       PathFor(name + ".wav"),
                                       "--param",
                                       "MainVolume=0.5",
                                       "--precision",
                                       precision,
                                       "--block",
                                       std::to_string(kBlock),
                                       "--duration",
                                       "0.5"};
    arguments.insert(arguments.end(), source.begin(), source.end());
    EXPECT_EQ(Render(arguments), kExitSuccess);
    WavContents wav;
    EXPECT_TRUE(ReadWavFile(PathFor(name + ".wav"), &wav)) << name;
    EXPECT_EQ(wav.formatTag, 3);
    EXPECT_EQ(wav.sampleRate, uint32_t(kRate));
    return wav.samples;
  }

  static fs::path sFolder;
};

fs::path RenderProgramTest::sFolder;

// The engine driven with the values the instrument hands it for that
// render: defaults, MainVolume, the note-on's gate, note, velocity and first
// retrigger step, the host tempo at every block, the note-off. The blocks
// are the renderer's: 1024 frames, cut at the note-off.
std::vector<std::vector<double>> EngineReference()
{
  std::unique_ptr<KickEngine, void (*)(KickEngine*)> engine(EngineCreate(kRate), &EngineDestroy);
  KickEngine* e = engine.get();
  EngineReset(e, kRate, 1024);
  for (int i = 0; i < kEngineNumParams; ++i)
    EngineSetParam(e, i, EngineGetParamInfo(e, i)->defaultValue);
  EngineSetParam(e, EngineParam::MainVolume, 0.5);
  EngineSetParam(e, EngineParam::Voice00_NoteGate, 1.0);
  EngineSetParam(e, EngineParam::Voice00_NoteNumber, 36.0);
  EngineSetParam(e, EngineParam::Voice00_NoteVelocity, 100.0);
  EngineSetParam(e, EngineParam::Voice00_NoteRetrig, double(0.01f));
  std::vector<std::vector<double>> out(2, std::vector<double>(kTotalFrames));
  std::vector<double> silence(kBlock, 0.0);
  for (int position = 0; position < kTotalFrames;)
  {
    if (position == kNoteOffFrame)
    {
      EngineSetParam(e, EngineParam::Voice00_NoteGate, 0.0);
      EngineSetParam(e, EngineParam::Voice00_NoteNumber, 36.0);
    }
    int end = std::min(position + kBlock, kTotalFrames);
    if (position < kNoteOffFrame) end = std::min(end, kNoteOffFrame);
    EngineSetParam(e, EngineParam::HostTempoBpm, 120.0);
    double* inputs[2] = {silence.data(), silence.data()};
    double* outputs[2] = {out[0].data() + position, out[1].data() + position};
    EXPECT_EQ(EnginePerform(e, inputs, outputs, end - position), 0);
    position = end;
  }
  return out;
}

// The WAV stores single-precision floats of the rendered samples.
void ExpectSameAsEngine(const std::vector<std::vector<double>>& rendered, const char* what)
{
  static const std::vector<std::vector<double>> reference = EngineReference();
  ASSERT_EQ(rendered.size(), 2u) << what;
  double peak = 0.0;
  for (int c = 0; c < 2; ++c)
  {
    ASSERT_EQ(rendered[c].size(), std::size_t(kTotalFrames)) << what;
    for (int i = 0; i < kTotalFrames; ++i)
    {
      ASSERT_EQ(rendered[c][i], double(float(reference[c][i])))
          << what << ": channel " << c << " frame " << i;
      peak = std::max(peak, std::fabs(rendered[c][i]));
    }
  }
  EXPECT_GT(peak, 0.05) << what << ": the comparison must be of sound";
}

TEST_F(RenderProgramTest, Vst3In64BitRendersTheEngineSound)
{
  ExpectSameAsEngine(RenderKick(THUDWERK_VST3_BUNDLE, "64", "vst3"), "VST3");
  // The picture beside the WAV decodes.
  std::ifstream stream(PathFor("vst3.png"), std::ios::binary);
  const std::vector<char> png((std::istreambuf_iterator<char>(stream)),
                              std::istreambuf_iterator<char>());
  std::unique_ptr<LICE_MemBitmap> picture(LoadPngFromMemory(png.data(), png.size()));
  ASSERT_TRUE(picture);
  EXPECT_GT(picture->Width(), 600);
  EXPECT_GT(picture->Height(), 400);
}

TEST_F(RenderProgramTest, Vst2In32BitRendersTheEngineSound)
{
  ExpectSameAsEngine(RenderKick(THUDWERK_VST2_PLUGIN_PATH, "32", "vst2"), "VST2");
}

TEST_F(RenderProgramTest, AMidiFilePlaysLikeTheSameNotes)
{
  // Format 1: a tempo track at 120 BPM and a note track on channel 10; at
  // 480 ticks a quarter, 96 ticks are 0.1 s.
  const Bytes file =
      Join({HeaderChunk(1, 2, 480), Track(Join({Tempo(0, 500000), EndOfTrack()})),
            Track(Join({Event(0, {0x99, 36, 100}), Event(96, {0x89, 36, 0}), EndOfTrack()}))});
  const std::string midiPath = PathFor("kick.mid");
  std::ofstream(midiPath, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  ExpectSameAsEngine(RenderKick(THUDWERK_VST3_BUNDLE, "32", "midi", {"--midi", midiPath}),
                     "MIDI file");
}

TEST_F(RenderProgramTest, ANoteStartsOnItsOwnSampleWhateverTheBlocks)
{
  // 0.01 s is frame 441, inside the first block of 1024.
  const auto early = RenderKick(THUDWERK_VST2_PLUGIN_PATH, "64", "at0",
                                {"--note", "36", "--velocity", "100", "--length", "0.1"});
  const auto late =
      RenderKick(THUDWERK_VST2_PLUGIN_PATH, "64", "at441",
                 {"--note", "36", "--velocity", "100", "--length", "0.1", "--at", "0.01"});
  ASSERT_EQ(late[0].size(), early[0].size());
  for (int i = 0; i < 441; ++i)
    ASSERT_EQ(late[0][i], 0.0) << "frame " << i;
  for (int i = 441; i < kNoteOffFrame; ++i)
    ASSERT_EQ(late[0][i], early[0][i - 441]) << "frame " << i;
}

TEST_F(RenderProgramTest, NotesOfOneMillisecondSoundInEveryFormat)
{
  // The renderer cuts its blocks at each note's on and off, so each note
  // ends within the engine's 1 ms retrigger hold: its release waits until
  // the kick has started and follows at once, a short, quiet kick.
  for (const char* plugin :
       {THUDWERK_VST3_BUNDLE, THUDWERK_VST2_PLUGIN_PATH, THUDWERK_CLAP_PLUGIN_PATH})
  {
    const auto kick = RenderKick(plugin, "64", "short",
                                 {"--note", "36", "--velocity", "127", "--length", "0.001"});
    ASSERT_EQ(kick.size(), 2u) << plugin;
    double peak = 0.0;
    for (double sample : kick[0])
      peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.0) << plugin << ": the note was lost";
  }
}

TEST_F(RenderProgramTest, AChosenPresetLandsInItsBlockInEveryRun)
{
  PresetSandbox sandbox;
  ASSERT_TRUE(sandbox.Ready());
  // Values exact in single precision, as preset files hold them.
  const std::pair<const char*, const char*> sound[] = {
      {"BassAmpLevel", "0.75"},     {"BassEnvAttack", "0"},   {"BassEnvDecay", "0.875"},
      {"BassPitchAmt", "0.125"},    {"MainVolume", "0.625"},  {"ReverbOffOn", "1"},
      {"SnapAmpLevel", "0.5"},      {"SnapEnvDecay", "0.25"}, {"SnapPitchAmt", "0.375"},
      {"TransistorDistLoad", "0.5"}};
  std::string file;
  std::vector<std::string> direct;
  for (const auto& [name, value] : sound)
  {
    file += std::string("<") + name + ">" + value + "</" + name + ">";
    direct.insert(direct.end(), {"--param", std::string(name) + "=" + value});
  }
  ASSERT_TRUE(WriteFileBytes(sandbox.FactoryFile("WLCM - The Deep Diver"), file));
  using Settings = std::vector<std::string>;
  const Settings chosen = {"--param", "PresetSelector=1"}; // the README's example
  const Settings tweaked = {"--param", "PresetSelector=1", "--set", "0.02:BassEnvDecay=0.5"};
  auto with = [](Settings settings, const Settings& more)
  {
    settings.insert(settings.end(), more.begin(), more.end());
    return settings;
  };
  const Settings note = {"--no-picture", "--note", "36", "--length", "0.1"};
  // Settings whose render must match another's, or must not.
  struct Case
  {
    Settings settings, reference;
    bool same;
  };
  const Case cases[] = {
      {chosen, direct, true},
      {with(chosen, {"--param", "BassEnvDecay=0.5"}), with(direct, {"--param", "BassEnvDecay=0.5"}),
       true},
      // A host resending the value changes nothing; a new one acts.
      {with(tweaked, {"--set", "0.05:PresetSelector=1"}), tweaked, true},
      {with(tweaked, {"--set", "0.05:PresetSelector=2"}), tweaked, false},
  };
  for (const char* plugin :
       {THUDWERK_VST3_BUNDLE, THUDWERK_VST2_PLUGIN_PATH, THUDWERK_CLAP_PLUGIN_PATH})
  {
    std::map<Settings, std::vector<std::vector<double>>> renders;
    auto render = [&](const Settings& settings) -> const std::vector<std::vector<double>>&
    {
      auto found = renders.find(settings);
      if (found == renders.end())
        found =
            renders.emplace(settings, RenderKick(plugin, "64", "note", with(settings, note))).first;
      return found->second;
    };
    for (const Case& c : cases)
      EXPECT_EQ(render(c.settings) == render(c.reference), c.same)
          << plugin << ": " << ::testing::PrintToString(c.settings);
    for (int run = 1; run < 20; ++run)
      ASSERT_TRUE(RenderKick(plugin, "64", "note", with(chosen, note)) == render(direct))
          << plugin << ", run " << run;
  }
}

TEST_F(RenderProgramTest, FailuresEndWithTheirExitCodes)
{
  const std::string wav = PathFor("failure.wav");
  EXPECT_EQ(Render({PathFor("missing.vst3"), "--note", "36", "-o", wav}), kExitPlugin);
  const std::string notAPlugin = PathFor("text.clap");
  std::ofstream(notAPlugin) << "not a plug-in";
  EXPECT_EQ(Render({notAPlugin, "--note", "36", "-o", wav}), kExitPlugin);
  const std::string garbage = PathFor("garbage.mid");
  const Bytes cutShort = Join({HeaderChunk(1, 2, 480), Bytes{'M', 'T', 'r', 'k', 0xFF, 0xFF}});
  std::ofstream(garbage, std::ios::binary)
      .write(reinterpret_cast<const char*>(cutShort.data()), std::streamsize(cutShort.size()));
  EXPECT_EQ(Render({THUDWERK_VST2_PLUGIN_PATH, "--midi", garbage, "-o", wav}), kExitInput);
  EXPECT_EQ(Render({THUDWERK_VST2_PLUGIN_PATH, "--note", "36", "--param", "Cowbell=1", "-o", wav}),
            kExitUsage);
  EXPECT_EQ(
      Render({THUDWERK_VST2_PLUGIN_PATH, "--note", "36", "-o", PathFor("no-such-folder/out.wav")}),
      kExitOutput);
  EXPECT_FALSE(fs::exists(wav));
}

} // namespace
