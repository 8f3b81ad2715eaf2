#include "stroke_font.h"

#include <cctype>
#include <initializer_list>

namespace
{
using Polyline = std::initializer_list<Point>;

struct Glyph
{
  char character;
  float width; // grid units
  std::initializer_list<Polyline> strokes;
};

// Grid: x from 0 to width, y from 0 (cap line) to 6 (base line).
const Glyph kGlyphs[] = {
    {'A', 4, {{{0, 6}, {1.6f, 0}, {2.4f, 0}, {4, 6}}, {{0.6f, 4}, {3.4f, 4}}}},
    {'B',
     4,
     {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}},
      {{3, 3}, {4, 4}, {4, 5}, {3, 6}, {0, 6}}}},
    {'C', 4, {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {3, 6}, {4, 5}}}},
    {'D', 4, {{{0, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {0, 6}, {0, 0}}}},
    {'E', 4, {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}},
    {'F', 4, {{{4, 0}, {0, 0}, {0, 6}}, {{0, 3}, {3, 3}}}},
    {'G', 4, {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 3}, {2, 3}}}},
    {'H', 4, {{{0, 0}, {0, 6}}, {{4, 0}, {4, 6}}, {{0, 3}, {4, 3}}}},
    {'I', 0, {{{0, 0}, {0, 6}}}},
    {'J', 4, {{{4, 0}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}}},
    {'K', 4, {{{0, 0}, {0, 6}}, {{4, 0}, {1, 3}, {4, 6}}, {{0, 3}, {1, 3}}}},
    {'L', 4, {{{0, 0}, {0, 6}, {4, 6}}}},
    {'M', 5, {{{0, 6}, {0, 0}, {2.5f, 3.5f}, {5, 0}, {5, 6}}}},
    {'N', 4, {{{0, 6}, {0, 0}, {4, 6}, {4, 0}}}},
    {'O', 4, {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}}},
    {'P', 4, {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}}},
    {'Q',
     4,
     {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}},
      {{2.5f, 4.5f}, {4, 6}}}},
    {'R', 4, {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}, {{2, 3}, {4, 6}}}},
    {'S',
     4,
     {{{4, 1},
       {3, 0},
       {1, 0},
       {0, 1},
       {0, 2},
       {1, 3},
       {3, 3},
       {4, 4},
       {4, 5},
       {3, 6},
       {1, 6},
       {0, 5}}}},
    {'T', 4, {{{0, 0}, {4, 0}}, {{2, 0}, {2, 6}}}},
    {'U', 4, {{{0, 0}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 0}}}},
    {'V', 4, {{{0, 0}, {2, 6}, {4, 0}}}},
    {'W', 5, {{{0, 0}, {1.25f, 6}, {2.5f, 2}, {3.75f, 6}, {5, 0}}}},
    {'X', 4, {{{0, 0}, {4, 6}}, {{4, 0}, {0, 6}}}},
    {'Y', 4, {{{0, 0}, {2, 3}, {4, 0}}, {{2, 3}, {2, 6}}}},
    {'Z', 4, {{{0, 0}, {4, 0}, {0, 6}, {4, 6}}}},
    {'0', 4, {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}}},
    {'1', 2, {{{0, 1}, {1, 0}, {1, 6}}}},
    {'2', 4, {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 2}, {0, 6}, {4, 6}}}},
    {'3',
     4,
     {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {1, 6}, {0, 5}},
      {{1.5f, 3}, {3, 3}}}},
    {'4', 4, {{{3, 6}, {3, 0}, {0, 4}, {4, 4}}}},
    {'5', 4, {{{4, 0}, {0, 0}, {0, 3}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}}},
    {'6',
     4,
     {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 4}, {3, 3}, {0, 3}}}},
    {'7', 4, {{{0, 0}, {4, 0}, {1.5f, 6}}}},
    {'8',
     4,
     {{{1, 3},
       {0, 2},
       {0, 1},
       {1, 0},
       {3, 0},
       {4, 1},
       {4, 2},
       {3, 3},
       {1, 3},
       {0, 4},
       {0, 5},
       {1, 6},
       {3, 6},
       {4, 5},
       {4, 4},
       {3, 3}}}},
    {'9',
     4,
     {{{0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 2}, {1, 3}, {4, 3}}}},
};

constexpr float kGridHeight = 6.0f;
constexpr float kLetterGap = 1.6f; // grid units between neighbouring glyphs
constexpr float kSpaceWidth = 2.4f;

const Glyph* FindGlyph(char character)
{
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
  for (const Glyph& glyph : kGlyphs)
  {
    if (glyph.character == upper) return &glyph;
  }
  return nullptr;
}
} // namespace

StrokeText::StrokeText(const std::string& text, float capHeight, float strokeWidth, float tracking)
    : mCapHeight(capHeight), mStrokeWidth(strokeWidth)
{
  const float unit = capHeight / kGridHeight;
  float pen = 0.0f;
  float inkRight = 0.0f;
  for (char character : text)
  {
    const Glyph* glyph = FindGlyph(character);
    if (!glyph)
    {
      pen += (kSpaceWidth + kLetterGap) * unit + tracking;
      continue;
    }
    for (const Polyline& stroke : glyph->strokes)
    {
      const Point* previous = nullptr;
      for (const Point& corner : stroke)
      {
        if (previous)
          mSegments.push_back({{pen + previous->x * unit, previous->y * unit},
                               {pen + corner.x * unit, corner.y * unit}});
        previous = &corner;
      }
    }
    inkRight = pen + glyph->width * unit;
    pen = inkRight + kLetterGap * unit + tracking;
  }
  mWidth = inkRight;
}

float StrokeText::Distance(float left, float top, float x, float y) const
{
  const float half = mStrokeWidth * 0.5f;
  const float localX = x - left - half;
  const float localY = y - top - half;
  float nearest = 1e9f;
  for (const Segment& segment : mSegments)
    nearest = std::min(nearest, SegmentDistance(segment.a, segment.b, localX, localY));
  return nearest - half;
}

void StrokeText::Draw(Canvas& canvas, float left, float top, Colour colour, float blur) const
{
  canvas.FillColour(
      {left, top, left + Width(), top + Height()},
      [this, left, top](float x, float y) { return Distance(left, top, x, y); }, colour, blur);
}
