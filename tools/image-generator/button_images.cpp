#include "editor_images.h"
#include "palette.h"
#include "shapes.h"
#include "stroke_font.h"
#include "surface_style.h"

namespace
{
// Round push switches in a dark bezel. `size` is one frame's side; frame 0
// (top) is off, frame 1 (bottom) is on.
struct SwitchLook
{
  Colour capLight;
  Colour capDark;
  Colour lamp;    // the light that shows the switch is on
  float capShare; // cap radius as a share of the bezel radius
};

void DrawBezel(Canvas& canvas, Point centre, float radius)
{
  canvas.FillColour(CircleBox(centre.x, centre.y + 0.8f, radius),
                    Circle(centre.x, centre.y + 0.8f, radius), WithAlpha(palette::kShadow, 0.7f),
                    0.8f);
  canvas.Fill(CircleBox(centre.x, centre.y, radius), Circle(centre.x, centre.y, radius),
              [centre, radius](float, float y)
              {
                const float t = std::clamp((y - centre.y) / (2.0f * radius) + 0.5f, 0.0f, 1.0f);
                return Mix(Rgb(14, 15, 17), Rgb(58, 61, 66), t);
              });
}

void DrawSwitchFrame(Canvas& canvas, float size, bool on, const SwitchLook& look)
{
  const Point centre{size * 0.5f, size * 0.5f};
  const float bezel = size * 0.5f - 0.7f;
  const float cap = bezel * look.capShare;
  DrawBezel(canvas, centre, bezel);

  // Lamp ring between bezel and cap: dark when off, glowing when on.
  const float ringRadius = (bezel + cap) * 0.5f;
  const float ringWidth = (bezel - cap) * 0.6f;
  const Box lampBox = CircleBox(centre.x, centre.y, bezel);
  canvas.FillColour(lampBox, Ring(centre.x, centre.y, ringRadius, ringWidth),
                    on ? look.lamp : Shade(look.lamp, 0.25f));
  if (on)
    canvas.FillColour(lampBox, Ring(centre.x, centre.y, ringRadius, ringWidth * 0.3f),
                      WithAlpha(Brighten(look.lamp, 0.35f), 0.8f), ringWidth * 0.25f);

  // A pressed cap sits lower: less shadow, darker face.
  const float drop = on ? 0.3f : 0.8f;
  canvas.FillColour(CircleBox(centre.x, centre.y + drop, cap),
                    Circle(centre.x, centre.y + drop, cap), WithAlpha(palette::kShadow, 0.7f),
                    0.6f);
  const float press = on ? 0.9f : 1.0f;
  canvas.Fill(CircleBox(centre.x, centre.y, cap), Circle(centre.x, centre.y, cap),
              [centre, cap, press, &look](float x, float y)
              {
                const float t = std::clamp(
                    ((x - centre.x) * 0.4f + (y - centre.y)) / (2.3f * cap) + 0.5f, 0.0f, 1.0f);
                return Shade(Mix(look.capLight, look.capDark, t), press);
              });
  canvas.FillColour(CircleBox(centre.x - cap * 0.3f, centre.y - cap * 0.35f, cap),
                    Circle(centre.x - cap * 0.3f, centre.y - cap * 0.35f, cap * 0.25f),
                    WithAlpha(palette::kHighlight, on ? 0.18f : 0.3f), cap * 0.3f);
}

// A lamp button: the whole cap is the light, dull red when off, glowing when
// on.
void DrawLampFrame(Canvas& canvas, float size, bool on, const SwitchLook& look)
{
  const Point centre{size * 0.5f, size * 0.5f};
  const float bezel = size * 0.5f - 0.7f;
  const float cap = bezel * look.capShare;
  DrawBezel(canvas, centre, bezel);
  if (on)
    canvas.FillColour(CircleBox(centre.x, centre.y, bezel), Circle(centre.x, centre.y, cap),
                      WithAlpha(look.lamp, 0.8f), 1.0f);
  const Colour light = on ? Brighten(look.lamp, 0.25f) : Shade(look.capLight, 0.55f);
  const Colour dark = on ? look.lamp : Shade(look.capDark, 0.6f);
  canvas.Fill(CircleBox(centre.x, centre.y, cap), Circle(centre.x, centre.y, cap),
              [centre, cap, light, dark](float x, float y)
              {
                const float t = std::clamp(
                    std::hypot(x - centre.x, y - centre.y + cap * 0.2f) / cap, 0.0f, 1.0f);
                return Mix(light, dark, t);
              });
  const Point shine{centre.x - cap * 0.3f, centre.y - cap * 0.35f};
  canvas.FillColour(CircleBox(shine.x, shine.y, cap), Circle(shine.x, shine.y, cap * 0.3f),
                    WithAlpha(palette::kHighlight, on ? 0.55f : 0.3f), cap * 0.25f);
}

using SwitchPainter = void (*)(Canvas&, float, bool, const SwitchLook&);

void DrawSwitch(Canvas& canvas, SwitchPainter paint, const SwitchLook& look)
{
  const float size = canvas.Width();
  for (int frame = 0; frame < 2; ++frame)
  {
    canvas.SetFrame({0.0f, frame * size, size, (frame + 1) * size});
    paint(canvas, size, frame == 1, look);
  }
  canvas.ResetFrame();
}

// A filled arrow head pointing left (direction -1) or right (+1), centred.
void DrawArrowKey(Canvas& canvas, float direction)
{
  DrawKeyFace(canvas);
  const float cx = canvas.Width() * 0.5f;
  const float cy = canvas.Height() * 0.5f - 0.25f;
  const float halfWidth = 3.2f;
  const float halfHeight = 4.6f;
  const Point tip{cx + direction * halfWidth, cy};
  const Point upper{cx - direction * halfWidth, cy - halfHeight};
  const Point lower{cx - direction * halfWidth, cy + halfHeight};
  const Box box{cx - halfWidth, cy - halfHeight, cx + halfWidth, cy + halfHeight};
  auto arrow =
      direction > 0 ? ConvexPolygon({upper, tip, lower}) : ConvexPolygon({lower, tip, upper});
  canvas.FillColour(
      {box.left, box.top + 0.6f, box.right, box.bottom + 0.6f},
      [&arrow](float x, float y) { return arrow(x, y - 0.6f); }, WithAlpha(palette::kShadow, 0.75f),
      0.55f);
  canvas.FillColour(box, arrow, palette::kButtonInk);
}

void DrawLabelledKey(Canvas& canvas, const char* text)
{
  DrawKeyFace(canvas);
  const StrokeText label(text, 5.5f, 1.1f, 1.2f);
  DrawPrintedText(canvas, label, (canvas.Width() - label.Width()) * 0.5f,
                  (canvas.Height() - label.Height()) * 0.5f - 0.25f, palette::kButtonInk);
}
} // namespace

void DrawRedSwitch(Canvas& canvas)
{
  DrawSwitch(canvas, DrawLampFrame,
             {palette::kKarmaRedLight, palette::kKarmaRedDark, palette::kLitRed, 0.72f});
}

void DrawWhiteSwitch(Canvas& canvas)
{
  DrawSwitch(canvas, DrawSwitchFrame,
             {palette::kIvory, palette::kIvoryShade, palette::kLitRed, 0.7f});
}

void DrawBackwardButton(Canvas& canvas)
{
  DrawArrowKey(canvas, -1.0f);
}

void DrawForwardButton(Canvas& canvas)
{
  DrawArrowKey(canvas, 1.0f);
}

void DrawLoadButton(Canvas& canvas)
{
  DrawLabelledKey(canvas, "LOAD");
}

void DrawSaveButton(Canvas& canvas)
{
  DrawLabelledKey(canvas, "SAVE");
}
