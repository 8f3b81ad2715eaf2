#include "surface_style.h"

#include "palette.h"
#include "shapes.h"

void StrokeLine(Canvas& canvas, Point from, Point to, float width, Colour colour)
{
  canvas.FillColour(CapsuleBox(from, to, width), Capsule(from, to, width), colour);
}

void DrawPrintedText(Canvas& canvas, const StrokeText& text, float left, float top, Colour ink)
{
  text.Draw(canvas, left, top + 0.6f, WithAlpha(palette::kShadow, 0.75f), 0.55f);
  text.Draw(canvas, left, top, ink);
}

void DrawBevel(Canvas& canvas, Box box, float radius, float width, float lightAlpha,
               float shadeAlpha)
{
  const Box inner = Inflate(box, -width);
  const float innerRadius = std::max(0.0f, radius - width);
  auto band = [=](float x, float y)
  {
    return std::max(RoundedBoxDistance(box, radius, x, y),
                    -RoundedBoxDistance(inner, innerRadius, x, y));
  };
  const float height = box.bottom - box.top;
  canvas.Fill(box, band,
              [=](float, float y)
              {
                const float t = 1.0f - std::clamp((y - box.top) / height, 0.0f, 1.0f);
                return WithAlpha(palette::kHighlight, lightAlpha * t * t);
              });
  canvas.Fill(box, band,
              [=](float, float y)
              {
                const float t = std::clamp((y - box.top) / height, 0.0f, 1.0f);
                return WithAlpha(palette::kShadow, shadeAlpha * t * t);
              });
}

void DrawKeyFace(Canvas& canvas)
{
  const Box face{1.0f, 1.5f, canvas.Width() - 1.0f, canvas.Height() - 2.0f};
  constexpr float radius = 3.0f;
  canvas.FillColour(
      face, RoundedBox({face.left, face.top + 1.0f, face.right, face.bottom + 1.0f}, radius),
      WithAlpha(palette::kShadow, 0.7f), 0.8f);
  canvas.FillColour(Inflate(face, 0.6f), RoundedBox(Inflate(face, 0.6f), radius + 0.6f),
                    Rgb(8, 9, 10));
  canvas.Fill(face, RoundedBox(face, radius),
              [face](float, float y)
              {
                const float t = (y - face.top) / (face.bottom - face.top);
                return Mix(palette::kButtonTop, palette::kButtonBottom, t);
              });
  DrawBevel(canvas, face, radius, 1.0f, 0.22f, 0.35f);
}
