#include "image_set.h"

#include "editor_image_ids.h"
#include "editor_images.h"

const EditorImage kEditorImages[12] = {
    {kImageBackground, "vo_background_0002.png", 1000, 1000, 1, DrawBackground},
    {kImageButtonRed, "vo_button_0022_red.png", 15, 30, 2, DrawRedSwitch},
    {kImageButtonWhite, "vo_button_0030_white.png", 26, 52, 2, DrawWhiteSwitch},
    {kImagePresetBackward, "vo_button_preset_backward_0001.png", 20, 25, 1, DrawBackwardButton},
    {kImagePresetForward, "vo_button_preset_forward_0001.png", 20, 25, 1, DrawForwardButton},
    {kImagePresetLoad, "vo_button_preset_load_0001.png", 40, 25, 1, DrawLoadButton},
    {kImagePresetSave, "vo_button_preset_save_0001.png", 40, 25, 1, DrawSaveButton},
    {kImageKnobRed, "vo_knob_0018_karmared.png", 40, 3960, 99, DrawRedKnobStrip},
    {kImageKnobWhite, "vo_knob_0019_white.png", 40, 3960, 99, DrawWhiteKnobStrip},
    {kImagePanelHeader, "vo_panel_header_0002.png", 500, 30, 1, DrawHeader},
    {kImageSynthPanel, "vo_panel_thudwerksynth_0001.png", 450, 360, 1, DrawSynthPanel},
    {kImageRackShadow, "vo_panel_rack4hu_shadow_0001.png", 500, 410, 1, DrawRackShadow},
};

std::unique_ptr<Canvas> PaintEditorImage(const EditorImage& image, int scale)
{
  auto canvas = std::make_unique<Canvas>(image.width, image.height, scale);
  image.draw(*canvas);
  return canvas;
}
