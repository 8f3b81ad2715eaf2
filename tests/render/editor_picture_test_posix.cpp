// thudwerk-render --editor-picture: both plug-ins' editors opened through
// their interfaces in the renderer's own window, without a display (the
// renderer starts a private X server), and written at their scale.
#include "child_process.h"
#include "lice_png.h"
#include "render_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{
std::unique_ptr<LICE_MemBitmap> LoadPicture(const std::string& path)
{
  std::ifstream stream(path, std::ios::binary);
  const std::vector<char> png((std::istreambuf_iterator<char>(stream)),
                              std::istreambuf_iterator<char>());
  return std::unique_ptr<LICE_MemBitmap>(LoadPngFromMemory(png.data(), png.size()));
}
} // namespace

TEST(RenderEditorPicture, ShowsEachEditorAtItsScaleWithoutADisplay)
{
  const std::string folder = std::filesystem::temp_directory_path().string() +
                             "/thudwerk-editor-picture-" + std::to_string(getpid());
  std::filesystem::create_directories(folder);
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  struct Case
  {
    const char* plugin;
    int width;
    int height;
  };
  for (const Case& c :
       {Case{THUDWERK_VST3_BUNDLE, 500, 480}, Case{THUDWERK_VST2_PLUGIN_PATH, 1000, 960}})
  {
    const std::string picture = folder + "/editor-" + std::to_string(c.width) + ".png";
    EXPECT_EQ(RunProgram(THUDWERK_RENDER_PROGRAM,
                         {c.plugin, "--note", "36", "--duration", "0.05", "--no-picture", "-o",
                          folder + "/sound.wav", "--editor-picture", picture}),
              kExitSuccess)
        << c.plugin;
    const std::unique_ptr<LICE_MemBitmap> shown = LoadPicture(picture);
    ASSERT_TRUE(shown) << c.plugin;
    EXPECT_EQ(shown->Width(), c.width);
    EXPECT_EQ(shown->Height(), c.height);
    // A painted editor, not an empty window: many colours.
    std::vector<LICE_pixel> seen;
    for (int i = 0; i < c.width * c.height && seen.size() < 64; i += 997)
    {
      const LICE_pixel p = shown->Bits()[i];
      if (std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
    }
    EXPECT_GE(seen.size(), 20u) << c.plugin;
  }
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
  std::filesystem::remove_all(folder);
}
