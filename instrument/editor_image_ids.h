#pragma once

// The resource ids of the editor's PNG images, shared by the instrument that
// loads them and the generator that paints them.
enum EditorImageId : int
{
  kImageBackground = 101,
  kImageButtonRed = 102,
  kImageButtonWhite = 103,
  kImagePresetBackward = 104,
  kImagePresetForward = 105,
  kImagePresetLoad = 106,
  kImagePresetSave = 107,
  kImageKnobRed = 108,
  kImageKnobWhite = 109,
  kImagePanelHeader = 110,
  kImageSynthPanel = 111,
  kImageRackShadow = 112,
};

// A build whose editor opens at normal scale and follows a host's high
// content scale also carries the double-scale images, under these ids plus
// this offset.
constexpr int kDoubleScaleImageIdOffset = 100;
