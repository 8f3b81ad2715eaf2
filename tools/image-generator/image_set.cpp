#include "image_set.h"

#include "editor_images.h"

const EditorImage kEditorImages[12] = {
    {101, "vo_background_0002.png", 1000, 1000, 1, DrawBackground},
    {102, "vo_button_0022_red.png", 15, 30, 2, DrawRedSwitch},
    {103, "vo_button_0030_white.png", 26, 52, 2, DrawWhiteSwitch},
    {104, "vo_button_preset_backward_0001.png", 20, 25, 1, DrawBackwardButton},
    {105, "vo_button_preset_forward_0001.png", 20, 25, 1, DrawForwardButton},
    {106, "vo_button_preset_load_0001.png", 40, 25, 1, DrawLoadButton},
    {107, "vo_button_preset_save_0001.png", 40, 25, 1, DrawSaveButton},
    {108, "vo_knob_0018_karmared.png", 40, 3960, 99, DrawRedKnobStrip},
    {109, "vo_knob_0019_white.png", 40, 3960, 99, DrawWhiteKnobStrip},
    {110, "vo_panel_header_0002.png", 500, 30, 1, DrawHeader},
    {111, "vo_panel_thudwerksynth_0001.png", 450, 360, 1, DrawSynthPanel},
    {112, "vo_panel_rack4hu_shadow_0001.png", 500, 410, 1, DrawRackShadow},
};

std::unique_ptr<Canvas> PaintEditorImage(const EditorImage& image, int scale)
{
  auto canvas = std::make_unique<Canvas>(image.width, image.height, scale);
  image.draw(*canvas);
  return canvas;
}
