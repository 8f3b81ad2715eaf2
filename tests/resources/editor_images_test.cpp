#include "lice_png.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace
{
// The editor's images as the instrument loads them: whole-image size at
// normal scale and frame count (filmstrips stack frames top to bottom).
struct ImageEntry
{
  const char* fileName;
  int width;
  int height;
  int frames;
};

const ImageEntry kImages[] = {
    {"vo_background_0002.png", 1000, 1000, 1},
    {"vo_button_0022_red.png", 15, 30, 2},
    {"vo_button_0030_white.png", 26, 52, 2},
    {"vo_button_preset_backward_0001.png", 20, 25, 1},
    {"vo_button_preset_forward_0001.png", 20, 25, 1},
    {"vo_button_preset_load_0001.png", 40, 25, 1},
    {"vo_button_preset_save_0001.png", 40, 25, 1},
    {"vo_knob_0018_karmared.png", 40, 3960, 99},
    {"vo_knob_0019_white.png", 40, 3960, 99},
    {"vo_panel_header_0002.png", 500, 30, 1},
    {"vo_panel_thudwerksynth_0001.png", 450, 360, 1},
    {"vo_panel_rack4hu_shadow_0001.png", 500, 410, 1},
};

std::unique_ptr<LICE_MemBitmap> LoadImage(const std::string& scaleFolder, const char* fileName)
{
  std::ifstream file(std::string(THUDWERK_IMAGE_FOLDER) + "/" + scaleFolder + "/" + fileName,
                     std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
  if (bytes.empty()) return nullptr;
  return std::unique_ptr<LICE_MemBitmap>(LoadPngFromMemory(bytes.data(), bytes.size()));
}

LICE_pixel PixelAt(LICE_MemBitmap& bitmap, int x, int y)
{
  return bitmap.Bits()[static_cast<std::size_t>(y) * bitmap.RowSpan() + x];
}

std::vector<LICE_pixel> Frame(LICE_MemBitmap& bitmap, int frame, int frames)
{
  const int frameHeight = bitmap.Height() / frames;
  std::vector<LICE_pixel> pixels;
  for (int y = frame * frameHeight; y < (frame + 1) * frameHeight; ++y)
  {
    for (int x = 0; x < bitmap.Width(); ++x)
      pixels.push_back(PixelAt(bitmap, x, y));
  }
  return pixels;
}

void PrintTo(const ImageEntry& entry, std::ostream* out)
{
  *out << entry.fileName;
}

class EditorImage : public testing::TestWithParam<ImageEntry>
{
};

TEST_P(EditorImage, DecodesToItsSizeAtBothScalesWithDistinctFrames)
{
  const ImageEntry& entry = GetParam();
  for (int scale : {1, 2})
  {
    SCOPED_TRACE(scale);
    auto bitmap = LoadImage(std::to_string(scale) + "x", entry.fileName);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), entry.width * scale);
    EXPECT_EQ(bitmap->Height(), entry.height * scale);

    std::set<std::vector<LICE_pixel>> frames;
    for (int frame = 0; frame < entry.frames; ++frame)
      frames.insert(Frame(*bitmap, frame, entry.frames));
    EXPECT_EQ(frames.size(), static_cast<std::size_t>(entry.frames));
  }
}

TEST_P(EditorImage, DoubleScaleIsPaintedRatherThanPixelDoubled)
{
  const ImageEntry& entry = GetParam();
  auto normal = LoadImage("1x", entry.fileName);
  auto doubled = LoadImage("2x", entry.fileName);
  ASSERT_NE(normal, nullptr);
  ASSERT_NE(doubled, nullptr);
  ASSERT_EQ(doubled->Width(), normal->Width() * 2);
  ASSERT_EQ(doubled->Height(), normal->Height() * 2);
  bool differs = false;
  for (int y = 0; y < doubled->Height() && !differs; ++y)
  {
    for (int x = 0; x < doubled->Width() && !differs; ++x)
      differs = PixelAt(*doubled, x, y) != PixelAt(*normal, x / 2, y / 2);
  }
  EXPECT_TRUE(differs);
}

INSTANTIATE_TEST_SUITE_P(All, EditorImage, testing::ValuesIn(kImages),
                         [](const testing::TestParamInfo<ImageEntry>& param)
                         {
                           const std::string name = param.param.fileName;
                           return name.substr(0, name.find('.'));
                         });

int AlphaOf(LICE_pixel pixel)
{
  return static_cast<int>(pixel >> 24);
}

// The background is copied without alpha and the header covers the top of
// the editor: both must be opaque wherever the editor shows them.
TEST(EditorImages, BackgroundAndHeaderAreOpaqueWhereVisible)
{
  for (int scale : {1, 2})
  {
    SCOPED_TRACE(scale);
    auto background = LoadImage(std::to_string(scale) + "x", "vo_background_0002.png");
    auto header = LoadImage(std::to_string(scale) + "x", "vo_panel_header_0002.png");
    ASSERT_NE(background, nullptr);
    ASSERT_NE(header, nullptr);
    int translucent = 0;
    for (int y = 0; y < 480 * scale; ++y)
    {
      for (int x = 0; x < 500 * scale; ++x)
        translucent += AlphaOf(PixelAt(*background, x, y)) != 255;
    }
    for (int y = 0; y < header->Height(); ++y)
    {
      for (int x = 0; x < header->Width(); ++x)
        translucent += AlphaOf(PixelAt(*header, x, y)) != 255;
    }
    EXPECT_EQ(translucent, 0);
  }
}

// Knobs, switches and the rack shadow lie over other images: their frame
// corners are see-through, and the shadow fades rather than being a hard
// block.
TEST(EditorImages, OverlaidImagesHaveTransparentCornersAndSoftShadow)
{
  const char* const overlaid[] = {"vo_knob_0018_karmared.png", "vo_knob_0019_white.png",
                                  "vo_button_0022_red.png", "vo_button_0030_white.png",
                                  "vo_panel_rack4hu_shadow_0001.png"};
  for (int scale : {1, 2})
  {
    for (const char* fileName : overlaid)
    {
      SCOPED_TRACE(fileName);
      auto bitmap = LoadImage(std::to_string(scale) + "x", fileName);
      ASSERT_NE(bitmap, nullptr);
      EXPECT_EQ(AlphaOf(PixelAt(*bitmap, 0, 0)), 0);
      EXPECT_EQ(AlphaOf(PixelAt(*bitmap, bitmap->Width() - 1, 0)), 0);
    }
    auto shadow = LoadImage(std::to_string(scale) + "x", "vo_panel_rack4hu_shadow_0001.png");
    ASSERT_NE(shadow, nullptr);
    std::set<int> alphas;
    // Below the panel's bottom edge (y 385 of 410) the shadow fades out.
    for (int y = 386 * scale; y < shadow->Height(); ++y)
      alphas.insert(AlphaOf(PixelAt(*shadow, shadow->Width() / 2, y)));
    EXPECT_GT(alphas.size(), 5u);
    EXPECT_GT(*alphas.rbegin(), 64);
    EXPECT_LT(*alphas.begin(), 255);
  }
}

// The panel is opaque where it lies (the shadow is for its surroundings),
// with its rounded corners see-through.
TEST(EditorImages, PanelIsOpaqueInsideWithRoundedCorners)
{
  for (int scale : {1, 2})
  {
    SCOPED_TRACE(scale);
    auto panel = LoadImage(std::to_string(scale) + "x", "vo_panel_thudwerksynth_0001.png");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(AlphaOf(PixelAt(*panel, 0, 0)), 0);
    EXPECT_EQ(AlphaOf(PixelAt(*panel, panel->Width() - 1, panel->Height() - 1)), 0);
    int translucent = 0;
    for (int y = 10 * scale; y < panel->Height() - 10 * scale; ++y)
    {
      for (int x = 0; x < panel->Width(); ++x)
        translucent += AlphaOf(PixelAt(*panel, x, y)) != 255;
    }
    EXPECT_EQ(translucent, 0);
  }
}
} // namespace
