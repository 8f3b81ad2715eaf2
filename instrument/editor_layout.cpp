#include "editor_layout.h"

#include "editor_positions.h"

#include "bitmap_control.h"
#include "graphics.h"
#include "kick_engine.h"
#include "knob_control.h"
#include "panel_control.h"
#include "preset_file.h"
#include "preset_file_selector.h"
#include "preset_name_display.h"
#include "preset_selector.h"

#include <utility>

namespace
{
using namespace EngineParam;
using namespace editor_positions;

struct ImageResource
{
  int id;
  const char* fileName; // marks the resource as PNG
  int frames;
};

// In the order they are loaded; the background comes first, on its own.
constexpr ImageResource kBackgroundImage = {kImageBackground,
                                            "resources/img/vo_background_0002.png", 1};
constexpr ImageResource kImages[] = {
    {kImagePanelHeader, "resources/img/vo_panel_header_0002.png", 1},
    {kImageButtonRed, "resources/img/vo_button_0022_red.png", 2},
    {kImageButtonWhite, "resources/img/vo_button_0030_white.png", 2},
    {kImageKnobRed, "resources/img/vo_knob_0018_karmared.png", 99},
    {kImageKnobWhite, "resources/img/vo_knob_0019_white.png", 99},
    {kImageSynthPanel, "resources/img/vo_panel_thudwerksynth_0001.png", 1},
    {kImageRackShadow, "resources/img/vo_panel_rack4hu_shadow_0001.png", 1},
    {kImagePresetBackward, "resources/img/vo_button_preset_backward_0001.png", 1},
    {kImagePresetForward, "resources/img/vo_button_preset_forward_0001.png", 1},
    {kImagePresetLoad, "resources/img/vo_button_preset_load_0001.png", 1},
    {kImagePresetSave, "resources/img/vo_button_preset_save_0001.png", 1},
};

// A control drawn from an image whose top-left corner sits at (x, y).
struct ImagePlacement
{
  int imageId;
  int x;
  int y;
  int paramIdx;
};

constexpr ImagePlacement kPanels[] = {
    {kImagePanelHeader, 0, 0, -1},
    {kImageRackShadow, 0, kRackShadowTop, -1},
    {kImageSynthPanel, kPanelLeft, kPanelTop, -1},
};
constexpr ImagePlacement kSwitches[] = {
    {kImageButtonWhite, kReverbSwitchX, kReverbSwitchY, ReverbOffOn},
    {kImageButtonRed, kVelocitySwitchX, kVelocitySwitchY, VelAmpOffOn},
};
constexpr ImagePlacement kKnobs[] = {
    {kImageKnobRed, kLeftKnobX, kKnobRowY[3], BassAmpLevel},
    {kImageKnobRed, kLeftKnobX, kKnobRowY[0], BassEnvAttack},
    {kImageKnobRed, kLeftKnobX, kKnobRowY[1], BassEnvDecay},
    {kImageKnobRed, kLeftKnobX, kKnobRowY[2], BassPitchAmt},
    {kImageKnobRed, kRightKnobX, kKnobRowY[0], MainVolume},
    {kImageKnobRed, kRightKnobX, kKnobRowY[3], SnapAmpLevel},
    {kImageKnobRed, kRightKnobX, kKnobRowY[1], SnapEnvDecay},
    {kImageKnobRed, kRightKnobX, kKnobRowY[2], SnapPitchAmt},
    {kImageKnobWhite, kCentreKnobX, kKnobRowY[1], TransistorDistLoad},
};
constexpr ImagePlacement kPresetBackwardButton = {kImagePresetBackward, kPresetBackwardX,
                                                  kPresetStripTop, PresetBackward};
constexpr ImagePlacement kPresetForwardButton = {kImagePresetForward, kPresetForwardX,
                                                 kPresetStripTop, PresetForward};
constexpr ImagePlacement kLoadButtonFace = {kImagePresetLoad, kPresetLoadX, kPresetStripTop, -1};
constexpr ImagePlacement kSaveButtonFace = {kImagePresetSave, kPresetSaveX, kPresetStripTop, -1};

const IRect kPresetBarRect(60, 40, 440, 65);
const IRect kPresetNameRect(60, 43, 440, 65);
const IRect kPresetLoadRect(0, 40, 40, 65);
const IRect kPresetSaveRect(460, 40, 500, 65);
const IRgba kPresetBarColor(140, 0, 0, 0);

IRect Scaled(const IRect& rect, int scale)
{
  return IRect(rect.L * scale, rect.T * scale, rect.R * scale, rect.B * scale);
}

class LayoutBuilder
{
public:
  LayoutBuilder(IGraphics& graphics, IPlugBase* plug, int scale, int imageIdOffset)
      : mGraphics(graphics), mPlug(plug), mScale(scale), mImageIdOffset(imageIdOffset)
  {
  }

  void LoadImages()
  {
    for (const ImageResource& image : kImages)
      mGraphics.LoadImageById(image.id + mImageIdOffset, image.fileName, image.frames);
  }

  IImage Image(int id) const
  {
    for (const ImageResource& image : kImages)
      if (image.id == id)
        return mGraphics.LoadImageById(id + mImageIdOffset, image.fileName, image.frames);
    return IImage();
  }

  template <typename Control>
  Control* AddPlaced(const ImagePlacement& placement)
  {
    auto* control = new Control(mPlug, placement.x * mScale, placement.y * mScale,
                                placement.paramIdx, Image(placement.imageId));
    mGraphics.AddControl(control);
    return control;
  }

  template <typename Control, typename... Args>
  Control* Add(Args&&... args)
  {
    auto* control = new Control(mPlug, std::forward<Args>(args)...);
    mGraphics.AddControl(control);
    return control;
  }

  IRect Rect(const IRect& normal) const { return Scaled(normal, mScale); }

private:
  IGraphics& mGraphics;
  IPlugBase* mPlug;
  int mScale;
  int mImageIdOffset;
};
} // namespace

ITextStyle PresetNameTextStyle(int scale)
{
  return ITextStyle(20 * scale, IRgba(255, 100, 100, 100), "Arial", ITextStyle::kStyleBold,
                    ITextStyle::kAlignCenter, 0, ITextStyle::kQualityDefault);
}

EditorControls BuildEditorLayout(IGraphics& graphics, IPlugBase* plug, int scale,
                                 const std::string& promptFolder, int imageIdOffset)
{
  graphics.SetBackgroundImage(kBackgroundImage.id + imageIdOffset, kBackgroundImage.fileName);
  const ITextStyle nameStyle = PresetNameTextStyle(scale);
  LayoutBuilder layout(graphics, plug, scale, imageIdOffset);
  layout.LoadImages();

  EditorControls controls;
  for (const ImagePlacement& panel : kPanels)
    layout.AddPlaced<IBitmapControl>(panel);
  for (const ImagePlacement& button : kSwitches)
    layout.AddPlaced<ISwitchControl>(button);
  for (const ImagePlacement& knob : kKnobs)
    layout.AddPlaced<IKnobMultiControl>(knob);
  layout.Add<IPanelControl>(layout.Rect(kPresetBarRect), kPresetBarColor);
  controls.presetName =
      layout.Add<PresetNameDisplay>(layout.Rect(kPresetNameRect), nameStyle, kPresetLibraryTitle);
  controls.presetSelector = layout.Add<IPopupMenu_PresetSelector>(layout.Rect(kPresetBarRect));
  controls.presetBackward = layout.AddPlaced<IContactControl>(kPresetBackwardButton);
  controls.presetForward = layout.AddPlaced<IContactControl>(kPresetForwardButton);
  layout.AddPlaced<IBitmapControl>(kLoadButtonFace);
  layout.AddPlaced<IBitmapControl>(kSaveButtonFace);
  controls.presetLoadSelector = layout.Add<PresetFileSelector>(
      layout.Rect(kPresetLoadRect), PresetLoad, layout.Image(kImagePresetLoad),
      int32_t(IFileSelectorControl::kFileOpen), promptFolder.c_str(), kPresetFileExtension);
  controls.presetSaveSelector = layout.Add<PresetFileSelector>(
      layout.Rect(kPresetSaveRect), PresetSave, layout.Image(kImagePresetSave),
      int32_t(IFileSelectorControl::kFileSave), promptFolder.c_str(), kPresetFileExtension);
  return controls;
}

PresetStripState SavePresetStrip(const EditorControls& controls)
{
  PresetStripState state;
  state.presetName = controls.presetName->NameShown();
  state.loadPath = controls.presetLoadSelector->Path();
  state.loadFolder = controls.presetLoadSelector->GetFolder();
  state.savePath = controls.presetSaveSelector->Path();
  state.saveFolder = controls.presetSaveSelector->GetFolder();
  return state;
}

void RestorePresetStrip(const PresetStripState& state, const EditorControls& controls)
{
  controls.presetName->ShowNameFromAnyThread(state.presetName);
  controls.presetLoadSelector->SetPath(state.loadPath);
  controls.presetLoadSelector->SetFolder(state.loadFolder);
  controls.presetSaveSelector->SetPath(state.savePath);
  controls.presetSaveSelector->SetFolder(state.saveFolder);
}
