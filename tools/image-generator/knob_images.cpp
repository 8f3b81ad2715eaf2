#include "editor_images.h"
#include "palette.h"
#include "shapes.h"
#include "surface_style.h"

#include <cmath>

namespace
{
constexpr int kKnobFrames = 99;
constexpr float kFrameSize = 40.0f;
constexpr float kSweep = 4.712389f; // 270 degrees, centred on straight up
constexpr int kArcSegments = 21;

struct KnobLook
{
  Colour capLight; // upper left of the cap
  Colour capDark;  // lower right
  Colour pointer;
  Colour lit; // value arc segments that are on
  float glow; // strength of the halo round lit segments
};

// Value arc: short rounded dashes round the knob; each lights in turn, the
// one under the value partly, so every step of the filmstrip shows.
void DrawValueArc(Canvas& canvas, Point centre, float value, const KnobLook& look)
{
  constexpr float radius = 17.7f;
  constexpr float width = 2.0f;
  constexpr float gap = 1.1f; // between the round ends of neighbouring dashes
  const float step = kSweep / kArcSegments;
  const float dash = step - (gap + width) / radius;
  const float start = -kSweep * 0.5f;
  for (int i = 0; i < kArcSegments; ++i)
  {
    const float middle = start + step * (i + 0.5f);
    const Point a = Polar(centre.x, centre.y, radius, middle - dash * 0.5f);
    const Point b = Polar(centre.x, centre.y, radius, middle + dash * 0.5f);
    const Box box = CapsuleBox(a, b, width);
    canvas.FillColour(box, Capsule(a, b, width), palette::kUnlitSegment);
    const float lit = std::clamp(value * kArcSegments - i, 0.0f, 1.0f);
    if (lit <= 0.0f) continue;
    canvas.FillColour(box, Capsule(a, b, width), WithAlpha(look.lit, look.glow * 0.45f * lit),
                      1.1f);
    canvas.FillColour(box, Capsule(a, b, width - 0.2f), WithAlpha(look.lit, lit));
  }
}

void DrawKnobBody(Canvas& canvas, Point centre, float angle, const KnobLook& look)
{
  constexpr float skirtRadius = 14.6f;
  constexpr float capRadius = 11.4f;

  canvas.FillColour(CircleBox(centre.x, centre.y + 1.4f, skirtRadius),
                    Circle(centre.x, centre.y + 1.4f, skirtRadius),
                    WithAlpha(palette::kShadow, 0.8f), 1.3f);
  // Skirt: dark knurled collar, lit from above.
  canvas.Fill(CircleBox(centre.x, centre.y, skirtRadius), Circle(centre.x, centre.y, skirtRadius),
              [centre](float, float y)
              {
                const float t =
                    std::clamp((y - centre.y) / (2.0f * skirtRadius) + 0.5f, 0.0f, 1.0f);
                return Mix(Rgb(74, 77, 83), Rgb(20, 21, 24), t);
              });
  constexpr int kKnurls = 28;
  for (int i = 0; i < kKnurls; ++i)
  {
    const float a = angle + 6.2831853f * i / kKnurls;
    const Point inner = Polar(centre.x, centre.y, capRadius + 0.9f, a);
    const Point outer = Polar(centre.x, centre.y, skirtRadius - 0.6f, a);
    StrokeLine(canvas, inner, outer, 0.7f, WithAlpha(palette::kShadow, 0.45f));
  }
  canvas.FillColour(CircleBox(centre.x, centre.y, skirtRadius + 0.5f),
                    Ring(centre.x, centre.y, skirtRadius - 0.3f, 0.6f),
                    WithAlpha(palette::kHighlight, 0.10f));

  // Skirt marker: a short line on the collar beside the cap's pointer.
  const Point markInner = Polar(centre.x, centre.y, capRadius + 1.0f, angle);
  const Point markOuter = Polar(centre.x, centre.y, skirtRadius - 0.8f, angle);
  StrokeLine(canvas, markInner, markOuter, 1.2f, WithAlpha(look.pointer, 0.9f));

  // Cap: shaded dome with a soft highlight at its upper left.
  canvas.FillColour(CircleBox(centre.x, centre.y + 0.6f, capRadius),
                    Circle(centre.x, centre.y + 0.6f, capRadius), WithAlpha(palette::kShadow, 0.6f),
                    0.7f);
  canvas.Fill(CircleBox(centre.x, centre.y, capRadius), Circle(centre.x, centre.y, capRadius),
              [centre, &look](float x, float y)
              {
                const float t = std::clamp(
                    ((x - centre.x) * 0.45f + (y - centre.y)) / (2.4f * capRadius) + 0.5f, 0.0f,
                    1.0f);
                return Mix(look.capLight, look.capDark, t);
              });
  const Point shine{centre.x - 3.2f, centre.y - 4.2f};
  canvas.FillColour(CircleBox(shine.x, shine.y, 4.0f), Circle(shine.x, shine.y, 2.5f),
                    WithAlpha(palette::kHighlight, 0.28f), 2.4f);
  canvas.Fill(CircleBox(centre.x, centre.y, capRadius),
              Ring(centre.x, centre.y, capRadius - 0.4f, 0.8f),
              [centre](float, float y)
              {
                const float t = std::clamp((centre.y - y) / capRadius, -1.0f, 1.0f);
                return t > 0 ? WithAlpha(palette::kHighlight, 0.35f * t)
                             : WithAlpha(palette::kShadow, -0.35f * t);
              });

  const Point tipInner = Polar(centre.x, centre.y, 3.6f, angle);
  const Point tipOuter = Polar(centre.x, centre.y, capRadius - 1.6f, angle);
  StrokeLine(canvas, tipInner, tipOuter, 2.0f, look.pointer);
}

void DrawKnobStrip(Canvas& canvas, const KnobLook& look)
{
  for (int frame = 0; frame < kKnobFrames; ++frame)
  {
    const float value = static_cast<float>(frame) / (kKnobFrames - 1);
    const float top = frame * kFrameSize;
    canvas.SetFrame({0.0f, top, kFrameSize, top + kFrameSize});
    const Point centre{kFrameSize * 0.5f, kFrameSize * 0.5f};
    DrawValueArc(canvas, centre, value, look);
    DrawKnobBody(canvas, centre, -kSweep * 0.5f + kSweep * value, look);
  }
  canvas.ResetFrame();
}
} // namespace

void DrawRedKnobStrip(Canvas& canvas)
{
  DrawKnobStrip(canvas, {palette::kKarmaRedLight, palette::kKarmaRedDark, palette::kIvory,
                         palette::kLitRed, 1.0f});
}

void DrawWhiteKnobStrip(Canvas& canvas)
{
  DrawKnobStrip(canvas, {palette::kIvory, palette::kIvoryShade, palette::kKarmaRed,
                         palette::kLitWhite, 0.8f});
}
