#include "editor_preview.h"

#include "editor_image_ids.h"
#include "editor_positions.h"

#include "lice_blit.h"
#include "lice_font.h"

#include <utility>
#include <vector>

namespace
{
using namespace editor_positions;

struct Placement
{
  int id;
  int x;
  int y;
  int frames;
  double value; // 0..1, picks the frame of a filmstrip
};

// Controls in drawing order, at normal scale.
const Placement kPlacements[] = {
    {kImagePanelHeader, 0, 0, 1, 0},
    {kImageRackShadow, 0, kRackShadowTop, 1, 0},
    {kImageSynthPanel, kPanelLeft, kPanelTop, 1, 0},
    {kImageButtonWhite, kReverbSwitchX, kReverbSwitchY, 2, 1},
    {kImageButtonRed, kVelocitySwitchX, kVelocitySwitchY, 2, 0},
    {kImageKnobRed, kLeftKnobX, kKnobRowY[3], 99, 0.8},
    {kImageKnobRed, kLeftKnobX, kKnobRowY[0], 99, 0.0},
    {kImageKnobRed, kLeftKnobX, kKnobRowY[1], 99, 0.45},
    {kImageKnobRed, kLeftKnobX, kKnobRowY[2], 99, 0.3},
    {kImageKnobRed, kRightKnobX, kKnobRowY[0], 99, 0.7},
    {kImageKnobRed, kRightKnobX, kKnobRowY[3], 99, 0.55},
    {kImageKnobRed, kRightKnobX, kKnobRowY[1], 99, 0.2},
    {kImageKnobRed, kRightKnobX, kKnobRowY[2], 99, 1.0},
    {kImageKnobWhite, kCentreKnobX, kKnobRowY[1], 99, 0.35},
};

const Placement kStripKeys[] = {{kImagePresetBackward, kPresetBackwardX, kPresetStripTop, 1, 0},
                                {kImagePresetForward, kPresetForwardX, kPresetStripTop, 1, 0},
                                {kImagePresetLoad, kPresetLoadX, kPresetStripTop, 1, 0},
                                {kImagePresetSave, kPresetSaveX, kPresetStripTop, 1, 0}};

bool Blit(LICE_IBitmap* dest, LICE_MemBitmap* image, const Placement& placement, int scale)
{
  if (!image) return false;
  const int frameHeight = image->Height() / placement.frames;
  const int frame = static_cast<int>(placement.value * (placement.frames - 1) + 0.5);
  const LICE_Rect source{0, frame * frameHeight, image->Width(), (frame + 1) * frameHeight};
  LICE_CopyArea(dest, image, placement.x * scale, placement.y * scale, &source, 1.0f,
                LICE_BlendCopy | LICE_BlendUseSourceAlpha);
  return true;
}

// The window shows colour only; alpha left behind by the blends means nothing
// there, so the picture drops it too.
void MakeOpaque(LICE_MemBitmap& bitmap)
{
  for (int y = 0; y < bitmap.Height(); ++y)
  {
    LICE_pixel* row = bitmap.Bits() + static_cast<std::size_t>(y) * bitmap.RowSpan();
    for (int x = 0; x < bitmap.Width(); ++x)
      row[x] |= 0xFF000000u;
  }
}

void DrawPresetName(LICE_IBitmap* dest, int scale)
{
  LICE_FontHandle face = LICE_CreatePlatformFont({"Arial", 20 * scale, 0, 700, false, 0});
  if (!face) return;
  LICE_CachedFont font;
  font.SetFromPlatformFont(face, LICE_FontOwnsPlatformFont);
  font.SetTextColor(LICE_Rgba(100, 100, 100, 255));
  LICE_Rect area{60 * scale, 43 * scale, 440 * scale, 65 * scale};
  font.DrawText(dest, "< Presets Library >", -1, &area, LICE_TextCenter);
}
} // namespace

std::unique_ptr<LICE_MemBitmap>
ComposeEditorPreview(const std::map<int, std::unique_ptr<LICE_MemBitmap>>& images, int scale)
{
  auto find = [&images](int id) -> LICE_MemBitmap*
  {
    const auto it = images.find(id);
    return it == images.end() ? nullptr : it->second.get();
  };
  auto editor = std::make_unique<LICE_MemBitmap>(kEditorWidth * scale, kEditorHeight * scale);
  LICE_MemBitmap* background = find(kImageBackground);
  if (!background) return nullptr;
  LICE_CopyArea(editor.get(), background, 0, 0, nullptr, 1.0f, LICE_BlendCopy);
  for (const Placement& placement : kPlacements)
  {
    if (!Blit(editor.get(), find(placement.id), placement, scale)) return nullptr;
  }
  LICE_FillArea(editor.get(), 60 * scale, 40 * scale, 380 * scale, 25 * scale,
                LICE_Rgba(0, 0, 0, 140), 1.0f, LICE_BlendCopy | LICE_BlendUseSourceAlpha);
  DrawPresetName(editor.get(), scale);
  for (const Placement& placement : kStripKeys)
  {
    if (!Blit(editor.get(), find(placement.id), placement, scale)) return nullptr;
  }
  MakeOpaque(*editor);
  return editor;
}

std::unique_ptr<LICE_MemBitmap>
ComposeControlSheet(const std::map<int, std::unique_ptr<LICE_MemBitmap>>& images, int scale,
                    int zoom)
{
  // Rows: red knob, white knob, then switches and preset keys; knobs at
  // nine evenly spread frames.
  constexpr int kColumns = 9;
  constexpr int kCell = 44;
  const int cell = kCell * scale;
  auto sheet = std::make_unique<LICE_MemBitmap>(kColumns * cell, 3 * cell);
  LICE_FillArea(sheet.get(), 0, 0, sheet->Width(), sheet->Height(), LICE_Rgba(50, 52, 58, 255),
                1.0f, LICE_BlendCopy);
  std::vector<std::pair<Placement, int>> cells; // placement at normal scale, row
  for (int column = 0; column < kColumns; ++column)
  {
    const double value = static_cast<double>(column) / (kColumns - 1);
    cells.push_back({{kImageKnobRed, column * kCell + 2, 2, 99, value}, 0});
    cells.push_back({{kImageKnobWhite, column * kCell + 2, kCell + 2, 99, value}, 1});
  }
  const Placement others[] = {{kImageButtonRed, 2, 2 * kCell + 2, 2, 0},
                              {kImageButtonRed, 22, 2 * kCell + 2, 2, 1},
                              {kImageButtonWhite, 44, 2 * kCell + 2, 2, 0},
                              {kImageButtonWhite, 76, 2 * kCell + 2, 2, 1},
                              {kImagePresetBackward, 110, 2 * kCell + 2, 1, 0},
                              {kImagePresetForward, 132, 2 * kCell + 2, 1, 0},
                              {kImagePresetLoad, 156, 2 * kCell + 2, 1, 0},
                              {kImagePresetSave, 200, 2 * kCell + 2, 1, 0}};
  for (const Placement& placement : others)
    cells.push_back({placement, 2});
  for (const auto& [placement, row] : cells)
  {
    const auto it = images.find(placement.id);
    if (it == images.end() || !Blit(sheet.get(), it->second.get(), placement, scale))
      return nullptr;
  }
  auto zoomed = std::make_unique<LICE_MemBitmap>(sheet->Width() * zoom, sheet->Height() * zoom);
  for (int y = 0; y < zoomed->Height(); ++y)
  {
    for (int x = 0; x < zoomed->Width(); ++x)
      zoomed->Bits()[y * zoomed->RowSpan() + x] =
          sheet->Bits()[(y / zoom) * sheet->RowSpan() + x / zoom];
  }
  MakeOpaque(*zoomed);
  return zoomed;
}
