#pragma once

#include "lice_bitmap.h"

#include <map>
#include <memory>

// Composes the whole editor the way the instrument stacks its controls
// (background, header, shadow, panel, switches, knobs, the preset strip with
// its dark bar and name), with knobs at assorted values, so the images can
// be judged together. `images` maps resource ids to the bitmaps at `scale`.
// Null when an image is missing.
std::unique_ptr<LICE_MemBitmap>
ComposeEditorPreview(const std::map<int, std::unique_ptr<LICE_MemBitmap>>& images, int scale);

// The knobs at nine values from minimum to maximum, both switches in both
// states and the preset keys, side by side over panel grey and enlarged
// `zoom` times pixel for pixel, for judging details.
std::unique_ptr<LICE_MemBitmap>
ComposeControlSheet(const std::map<int, std::unique_ptr<LICE_MemBitmap>>& images, int scale,
                    int zoom);
