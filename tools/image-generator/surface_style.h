#pragma once

#include "canvas.h"
#include "shapes.h"
#include "stroke_font.h"

// Looks shared by several images, so panel, header and buttons agree.

// A shape covering the whole canvas.
inline float Everywhere(float, float)
{
  return -1e6f;
}

// A straight line with round ends.
void StrokeLine(Canvas& canvas, Point from, Point to, float width, Colour colour);

// Text printed on a surface: ink over a soft dark shadow just below it, which
// lifts light letters off graphite at small sizes.
void DrawPrintedText(Canvas& canvas, const StrokeText& text, float left, float top, Colour ink);

// Light along the upper edge and shade along the lower edge of a rounded
// box, inside a band of the given width: a raised surface lit from above.
void DrawBevel(Canvas& canvas, Box box, float radius, float width, float lightAlpha,
               float shadeAlpha);

// A raised key of the preset strip: rounded face with a vertical gradient and
// bevel, on a soft shadow, filling the canvas but for a small margin.
void DrawKeyFace(Canvas& canvas);
