#pragma once

#include "canvas.h"
#include "shapes.h"

#include <string>
#include <vector>

// A small geometric capital font made of straight strokes with chamfered
// corners, so labels need no font files and scale cleanly. Glyphs sit on a
// grid six units tall; letters, digits and space are known, anything else
// advances like a space.
class StrokeText
{
public:
  // capHeight and strokeWidth in design units; tracking is extra space
  // between letters.
  StrokeText(const std::string& text, float capHeight, float strokeWidth, float tracking = 0.0f);

  // Extent of the ink, stroke width included.
  float Width() const { return mWidth + mStrokeWidth; }
  float Height() const { return mCapHeight + mStrokeWidth; }

  // Distance from (x, y) to the ink of the text whose ink box has its top
  // left at (left, top).
  float Distance(float left, float top, float x, float y) const;

  // Paints the text with its ink box's top left at (left, top).
  void Draw(Canvas& canvas, float left, float top, Colour colour, float blur = 0.0f) const;

private:
  struct Segment
  {
    Point a;
    Point b;
  };

  std::vector<Segment> mSegments; // stroke centre lines, origin at the first glyph's top left
  float mWidth = 0.0f;
  float mCapHeight;
  float mStrokeWidth;
};
