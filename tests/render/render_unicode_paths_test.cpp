// thudwerk-render with file names outside any single code page: it reads
// the MIDI file and writes the WAV and the picture under those names.

#include "child_process.h"
#include "lice_png.h"
#include "midi_bytes.h"
#include "render_options.h"
#include "utf8_file.h"
#include "wav_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>

namespace
{
namespace fs = std::filesystem;

bool WriteBytesUtf8(const std::string& path, const Bytes& bytes)
{
  UniqueFile file(OpenFileUtf8(path, "wb"));
  return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
         std::fclose(file.release()) == 0;
}
} // namespace

TEST(RenderUnicodePaths, MidiInWavAndPictureOutUnderTheirOwnNames)
{
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path root =
      fs::temp_directory_path() / ("thudwerk-render-names-" + std::to_string(stamp));
  // A kick of 0.1 s on channel 10 at 120 BPM.
  const Bytes midi =
      Join({HeaderChunk(0, 1, 480),
            Track(Join({Event(0, {0x99, 36, 100}), Event(96, {0x89, 36, 0}), EndOfTrack()}))});
  for (const std::string name : {u8"Моя бочка", u8"キック"})
  {
    SCOPED_TRACE(name);
    const std::string folder = (root / fs::u8path(name)).u8string();
    ASSERT_TRUE(fs::create_directories(fs::u8path(folder)));
    const std::string stem = folder + "/" + name;
    ASSERT_TRUE(WriteBytesUtf8(stem + ".mid", midi));

    ASSERT_EQ(
        RunProgram(THUDWERK_RENDER_PROGRAM, {THUDWERK_VST2_PLUGIN_PATH, "--midi", stem + ".mid",
                                             "-o", stem + ".wav", "--duration", "0.3"}),
        kExitSuccess);

    WavContents wav;
    ASSERT_TRUE(ReadWavFile(stem + ".wav", &wav));
    double peak = 0.0;
    for (double sample : wav.samples[0])
      peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.05) << "the MIDI file's note was played";
    const std::vector<char> png = ReadFileUtf8(stem + ".png");
    std::unique_ptr<LICE_MemBitmap> picture(LoadPngFromMemory(png.data(), png.size()));
    EXPECT_TRUE(picture);
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
}
