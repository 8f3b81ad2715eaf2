// Paints the editor's twelve images at normal and double scale:
//
//   thudwerk_image_generator <image folder> [--preview <folder>]
//
// writes <image folder>/1x/<name>.png and <image folder>/2x/<name>.png, and
// with --preview also editor_preview_{1x,2x}.png (the composed editor) and
// control_sheet_{1x,2x}.png (the controls enlarged).

#include "editor_preview.h"
#include "image_set.h"
#include "lice_png.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace
{
bool WriteScale(int scale, const fs::path& imageFolder, const fs::path* previewFolder)
{
  const fs::path folder = imageFolder / (std::to_string(scale) + "x");
  std::error_code error;
  fs::create_directories(folder, error);
  std::map<int, std::unique_ptr<LICE_MemBitmap>> bitmaps;
  for (const EditorImage& image : kEditorImages)
  {
    auto bitmap = PaintEditorImage(image, scale)->ToBitmap();
    const fs::path path = folder / image.fileName;
    if (!bitmap || !SavePng(bitmap.get(), path.string().c_str(), PngRows::kFastToDecode))
    {
      std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
      return false;
    }
    bitmaps[image.id] = std::move(bitmap);
  }
  if (!previewFolder) return true;
  fs::create_directories(*previewFolder, error);
  const fs::path previewPath =
      *previewFolder / ("editor_preview_" + std::to_string(scale) + "x.png");
  const fs::path sheetPath = *previewFolder / ("control_sheet_" + std::to_string(scale) + "x.png");
  auto preview = ComposeEditorPreview(bitmaps, scale);
  auto sheet = ComposeControlSheet(bitmaps, scale, 4 / scale);
  if (!preview || !sheet || !SavePng(preview.get(), previewPath.string().c_str()) ||
      !SavePng(sheet.get(), sheetPath.string().c_str()))
  {
    std::fprintf(stderr, "cannot write the previews into %s\n", previewFolder->string().c_str());
    return false;
  }
  return true;
}
} // namespace

int main(int argc, char** argv)
{
  const bool withPreview = argc == 4 && std::strcmp(argv[2], "--preview") == 0;
  if (argc != 2 && !withPreview)
  {
    std::fprintf(stderr, "usage: %s <image folder> [--preview <folder>]\n", argv[0]);
    return 2;
  }
  const fs::path imageFolder = argv[1];
  const fs::path previewFolder = withPreview ? fs::path(argv[3]) : fs::path();
  for (int scale : {1, 2})
  {
    if (!WriteScale(scale, imageFolder, withPreview ? &previewFolder : nullptr)) return 1;
  }
  return 0;
}
