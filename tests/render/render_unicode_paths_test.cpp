// thudwerk-render with file names outside any single code page.

#include "child_process.h"
#include "lice_png.h"
#include "midi_bytes.h"
#include "render_options.h"
#include "wav_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

TEST(RenderUnicodePaths, MidiInWavAndPictureOutUnderTheirOwnNames)
{
  namespace fs = std::filesystem;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path root = fs::temp_directory_path() / ("thudwerk-names-" + std::to_string(stamp));
  // One kick on channel 10.
  const Bytes midi =
      Join({HeaderChunk(0, 1, 480),
            Track(Join({Event(0, {0x99, 36, 100}), Event(96, {0x89, 36, 0}), EndOfTrack()}))});
  for (const std::string name : {u8"Моя бочка", u8"キック"})
  {
    SCOPED_TRACE(name);
    const std::string stem = (root / fs::u8path(name) / fs::u8path(name)).u8string();
    ASSERT_TRUE(fs::create_directories(fs::u8path(stem).parent_path()));
    UniqueFile file(OpenFileUtf8(stem + ".mid", "wb"));
    ASSERT_TRUE(file && std::fwrite(midi.data(), 1, midi.size(), file.get()) == midi.size());
    file.reset();

    ASSERT_EQ(RunProgram(THUDWERK_RENDER_PROGRAM,
                         {THUDWERK_VST2_PLUGIN_PATH, "--midi", stem + ".mid", "-o", stem + ".wav"}),
              kExitSuccess);
    WavContents wav;
    ASSERT_TRUE(ReadWavFile(stem + ".wav", &wav));
    EXPECT_GT(*std::max_element(wav.samples[0].begin(), wav.samples[0].end()), 0.05);
    const std::vector<char> png = ReadFileUtf8(stem + ".png");
    EXPECT_TRUE(std::unique_ptr<LICE_MemBitmap>(LoadPngFromMemory(png.data(), png.size())));
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
}
