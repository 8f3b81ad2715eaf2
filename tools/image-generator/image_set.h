#pragma once

#include "canvas.h"

#include <memory>

// The twelve editor images: resource id, file name, size of the whole image
// at normal scale (filmstrip frames stacked vertically) and painter.
struct EditorImage
{
  int id;
  const char* fileName;
  int width;
  int height;
  int frames;
  void (*draw)(Canvas& canvas);
};

extern const EditorImage kEditorImages[12];

// Paints the image at the given scale (1 normal, 2 double).
std::unique_ptr<Canvas> PaintEditorImage(const EditorImage& image, int scale);
