#include "editor_geometry.h"
#include "editor_images.h"
#include "noise.h"
#include "palette.h"
#include "shapes.h"
#include "stroke_font.h"
#include "surface_style.h"

#include <cmath>

namespace eg = editor_geometry;

namespace
{
// Noise streams, one per texture, so textures do not repeat each other.
constexpr std::uint32_t kBrushedCoarse = 1;
constexpr std::uint32_t kBrushedFine = 2;
constexpr std::uint32_t kHeaderGrain = 3;

// Knob centres on the panel, in panel coordinates.
float PanelX(float editorX)
{
  return editorX - eg::kPanelLeft;
}
float PanelY(float editorY)
{
  return editorY - eg::kPanelTop;
}
Point KnobCentre(float editorX, float editorY)
{
  return {PanelX(editorX) + eg::kKnobSize * 0.5f, PanelY(editorY) + eg::kKnobSize * 0.5f};
}

StrokeText LabelText(const char* text)
{
  return StrokeText(text, 5.5f, 1.1f, 1.1f);
}

void DrawLabelBelow(Canvas& canvas, const char* text, float centreX, float top)
{
  const StrokeText label = LabelText(text);
  DrawPrintedText(canvas, label, centreX - label.Width() * 0.5f, top, palette::kEngraving);
}

// A shallow recess under a knob: darker seat, light catching its lower lip.
void DrawKnobSeat(Canvas& canvas, Point centre, float radius)
{
  canvas.FillColour(CircleBox(centre.x, centre.y, radius), Circle(centre.x, centre.y, radius),
                    WithAlpha(palette::kShadow, 0.28f), 0.9f);
  canvas.Fill(CircleBox(centre.x, centre.y, radius + 0.6f), Ring(centre.x, centre.y, radius, 0.8f),
              [centre, radius](float, float y)
              {
                const float t = std::clamp((y - centre.y) / radius, 0.0f, 1.0f);
                return WithAlpha(palette::kHighlight, 0.10f * t);
              });
}

void DrawSectionHeading(Canvas& canvas, const char* text, float centreX, float halfSpan)
{
  const StrokeText heading(text, 7.0f, 1.35f, 2.2f);
  constexpr float top = 13.0f;
  DrawPrintedText(canvas, heading, centreX - heading.Width() * 0.5f, top, palette::kEngraving);
  const float ruleY = top + heading.Height() * 0.5f;
  const float gap = heading.Width() * 0.5f + 7.0f;
  const Colour rule = WithAlpha(palette::kEngravingDim, 0.55f);
  for (float side : {-1.0f, 1.0f})
  {
    const Point a{centreX + side * gap, ruleY};
    const Point b{centreX + side * halfSpan, ruleY};
    StrokeLine(canvas, a, b, 0.8f, rule);
  }
}

// A screw head in a countersunk hole, its cross turned by `angle`.
void DrawScrew(Canvas& canvas, Point centre, float angle)
{
  constexpr float radius = 4.2f;
  canvas.FillColour(CircleBox(centre.x, centre.y, radius + 1.0f),
                    Circle(centre.x, centre.y, radius + 0.6f), WithAlpha(palette::kShadow, 0.6f),
                    0.7f);
  canvas.Fill(CircleBox(centre.x, centre.y, radius), Circle(centre.x, centre.y, radius),
              [centre](float x, float y)
              {
                const float t = std::clamp(
                    ((x - centre.x) + (y - centre.y)) / (2.0f * radius) + 0.5f, 0.0f, 1.0f);
                return Mix(Rgb(150, 153, 158), Rgb(62, 64, 69), t);
              });
  for (float turn : {0.0f, 1.5707963f})
  {
    const Point a = Polar(centre.x, centre.y, radius * 0.62f, angle + turn);
    const Point b = Polar(centre.x, centre.y, radius * 0.62f, angle + turn + 3.1415927f);
    StrokeLine(canvas, a, b, 1.1f, Rgb(36, 37, 40));
  }
}

// A vertical groove milled into the panel between the control columns.
void DrawGroove(Canvas& canvas, float x, float top, float bottom)
{
  const Point a{x, top};
  const Point b{x, bottom};
  StrokeLine(canvas, a, b, 1.0f, WithAlpha(palette::kShadow, 0.55f));
  const Point c{x + 1.0f, top};
  const Point d{x + 1.0f, bottom};
  StrokeLine(canvas, c, d, 0.8f, WithAlpha(palette::kHighlight, 0.07f));
}

// A small inset window with a falling-pitch, decaying sine: the sound this
// instrument makes, as an emblem.
void DrawKickEmblem(Canvas& canvas, Box window)
{
  constexpr float radius = 4.0f;
  canvas.Fill(window, RoundedBox(window, radius),
              [window](float, float y)
              {
                const float t = (y - window.top) / (window.bottom - window.top);
                return Mix(Rgb(12, 13, 15), Rgb(22, 23, 26), t);
              });
  // Inner shadow along the top edge: the window sits below the surface.
  canvas.Fill(
      window,
      [window](float x, float y)
      {
        return std::max(RoundedBoxDistance(window, radius, x, y),
                        -RoundedBoxDistance(Inflate(window, -2.0f), radius - 2.0f, x, y));
      },
      [window](float, float y)
      {
        const float t = 1.0f - std::clamp((y - window.top) / 6.0f, 0.0f, 1.0f);
        return WithAlpha(palette::kShadow, 0.6f * t);
      });
  DrawBevel(canvas, Inflate(window, 0.8f), radius + 0.8f, 0.8f, 0.0f, 0.25f);

  const float midY = (window.top + window.bottom) * 0.5f;
  const Colour grid = WithAlpha(palette::kEngravingDim, 0.12f);
  for (int i = 1; i < 6; ++i)
  {
    const float x = window.left + (window.right - window.left) * i / 6.0f;
    canvas.FillColour({x - 0.5f, window.top + 3, x + 0.5f, window.bottom - 3},
                      Capsule({x, window.top + 4}, {x, window.bottom - 4}, 0.5f), grid);
  }
  canvas.FillColour({window.left, midY - 0.5f, window.right, midY + 0.5f},
                    Capsule({window.left + 4, midY}, {window.right - 4, midY}, 0.5f), grid);

  // The curve: amplitude decays, frequency falls from high to low.
  const float left = window.left + 6.0f;
  const float width = window.right - window.left - 12.0f;
  const float amplitude = (window.bottom - window.top) * 0.38f;
  constexpr int kSteps = 220;
  std::vector<Point> curve;
  float phase = 0.0f;
  for (int i = 0; i <= kSteps; ++i)
  {
    const float t = static_cast<float>(i) / kSteps;
    const float cyclesPerUnit = 3.2f + 14.0f * std::exp(-t * 10.0f);
    phase += cyclesPerUnit * (6.2831853f / kSteps);
    const float envelope = std::min(1.0f, t * 60.0f) * std::exp(-t * 2.4f);
    curve.push_back({left + width * t, midY - amplitude * envelope * std::sin(phase)});
  }
  auto distance = [&curve](float x, float y)
  {
    float nearest = 1e9f;
    for (std::size_t i = 1; i < curve.size(); ++i)
      nearest = std::min(nearest, SegmentDistance(curve[i - 1], curve[i], x, y));
    return nearest;
  };
  canvas.FillColour(
      window, [&distance](float x, float y) { return distance(x, y) - 1.4f; },
      WithAlpha(palette::kLitRed, 0.35f), 1.2f);
  canvas.FillColour(
      window, [&distance](float x, float y) { return distance(x, y) - 0.65f; }, palette::kLitRed);
}
} // namespace

void DrawBackground(Canvas& canvas)
{
  // Only the editor's 500 x 480 show; beyond them the image repeats its
  // edge, which keeps the file small.
  canvas.Fill({0, 0, canvas.Width(), canvas.Height()}, Everywhere,
              [](float x, float y)
              {
                const float visibleX = std::min(x, 500.0f);
                const float visibleY = std::min(y, 480.0f);
                const Colour base =
                    Mix(palette::kBackgroundTop, palette::kBackgroundBottom, visibleY / 480.0f);
                const float dx = (visibleX - 250.0f) / 260.0f;
                const float dy = (visibleY - 230.0f) / 240.0f;
                return Brighten(base, 0.035f * std::exp(-(dx * dx + dy * dy)));
              });
}

void DrawHeader(Canvas& canvas)
{
  const float width = canvas.Width();
  const float height = canvas.Height();
  canvas.Fill({0, 0, width, height}, Everywhere,
              [height](float x, float y)
              {
                const Colour base = Mix(palette::kHeaderTop, palette::kHeaderBottom, y / height);
                return Brighten(base,
                                (ValueNoise(x * 1.5f, y * 0.08f, kHeaderGrain) - 0.5f) * 0.012f);
              });
  canvas.FillColour({0, 0, width, 1}, RoundedBox({0, 0, width, 1}, 0),
                    WithAlpha(palette::kHighlight, 0.13f));
  canvas.FillColour({0, height - 1, width, height}, RoundedBox({0, height - 1, width, height}, 0),
                    WithAlpha(palette::kShadow, 0.75f));
  canvas.FillColour({0, height - 2, width, height - 1},
                    RoundedBox({0, height - 2, width, height - 1}, 0),
                    WithAlpha(palette::kHighlight, 0.04f));

  // Emblem: a drum head seen from the front.
  const Point drum{20.0f, height * 0.5f};
  canvas.FillColour(CircleBox(drum.x, drum.y, 7.5f), Ring(drum.x, drum.y, 6.3f, 1.7f),
                    palette::kKarmaRedLight);
  canvas.FillColour(CircleBox(drum.x, drum.y, 2.6f), Circle(drum.x, drum.y, 2.5f),
                    palette::kKarmaRedLight);

  const StrokeText wordmark("THUDWERK", 10.0f, 1.8f, 2.0f);
  DrawPrintedText(canvas, wordmark, 34.0f, (height - wordmark.Height()) * 0.5f, Rgb(228, 230, 234));
  const StrokeText tagline("KICK SYNTHESIZER", 5.5f, 1.0f, 1.4f);
  DrawPrintedText(canvas, tagline, width - 14.0f - tagline.Width(),
                  (height - tagline.Height()) * 0.5f, palette::kEngravingDim);
}

void DrawRackShadow(Canvas& canvas)
{
  // The panel covers (25, 25)..(475, 385) of this image; the shadow falls
  // below it as if lit from above the editor.
  const Box panel{eg::kPanelLeft, eg::kPanelTop - eg::kRackShadowTop,
                  eg::kPanelLeft + eg::kPanelWidth,
                  eg::kPanelTop - eg::kRackShadowTop + eg::kPanelHeight};
  const Box wide{panel.left + 2.0f, panel.top + 5.0f, panel.right - 2.0f, panel.bottom + 5.0f};
  canvas.FillColour(wide, RoundedBox(wide, 10.0f), WithAlpha(palette::kShadow, 0.7f), 6.5f);
  const Box contact{panel.left, panel.top + 1.0f, panel.right, panel.bottom + 1.5f};
  canvas.FillColour(contact, RoundedBox(contact, 6.0f), WithAlpha(palette::kShadow, 0.55f), 1.6f);
}

void DrawSynthPanel(Canvas& canvas)
{
  const float width = canvas.Width();
  const float height = canvas.Height();
  const Box face{0, 0, width, height};
  constexpr float radius = 6.0f;

  canvas.Fill(face, RoundedBox(face, radius),
              [height](float x, float y)
              {
                const Colour base = Mix(palette::kPanelTop, palette::kPanelBottom, y / height);
                // Brushed metal: streaks along y, many per unit across x.
                const float coarse = ValueNoise(x * 0.9f, y * 0.012f, kBrushedCoarse) - 0.5f;
                const float fine = ValueNoise(x * 3.1f, y * 0.04f, kBrushedFine) - 0.5f;
                return Brighten(base, coarse * 0.022f + fine * 0.026f);
              });
  DrawBevel(canvas, face, radius, 1.5f, 0.28f, 0.55f);
  DrawBevel(canvas, Inflate(face, -1.5f), radius - 1.5f, 1.0f, 0.06f, 0.12f);

  const float inset = 11.0f;
  const Point screws[] = {{inset, inset},
                          {width - inset, inset},
                          {inset, height - inset},
                          {width - inset, height - inset}};
  const float screwAngles[] = {0.35f, 1.1f, 0.8f, 0.15f};
  for (int i = 0; i < 4; ++i)
    DrawScrew(canvas, screws[i], screwAngles[i]);

  const float leftColumn = KnobCentre(eg::kLeftKnobX, 0).x;
  const float rightColumn = KnobCentre(eg::kRightKnobX, 0).x;
  const float centreColumn = KnobCentre(eg::kCentreKnobX, 0).x;
  DrawGroove(canvas, (leftColumn + centreColumn) * 0.5f, 28.0f, height - 28.0f);
  DrawGroove(canvas, (rightColumn + centreColumn) * 0.5f, 28.0f, height - 28.0f);

  DrawSectionHeading(canvas, "BASS", leftColumn, 48.0f);
  DrawSectionHeading(canvas, "SNAP", rightColumn, 48.0f);
  DrawKickEmblem(canvas, {centreColumn - 50.0f, 14.0f, centreColumn + 50.0f, 86.0f});

  const char* const leftLabels[] = {"ATTACK", "DECAY", "PITCH", "LEVEL"};
  const char* const rightLabels[] = {"VOLUME", "DECAY", "PITCH", "LEVEL"};
  constexpr float seatRadius = 20.0f;
  constexpr float labelGap = 24.5f;
  for (int row = 0; row < 4; ++row)
  {
    for (const auto& [column, text] :
         {std::pair{eg::kLeftKnobX, leftLabels[row]}, std::pair{eg::kRightKnobX, rightLabels[row]}})
    {
      const Point centre = KnobCentre(column, eg::kKnobRowY[row]);
      DrawKnobSeat(canvas, centre, seatRadius);
      DrawLabelBelow(canvas, text, centre.x, centre.y + labelGap);
    }
  }
  const Point drive = KnobCentre(eg::kCentreKnobX, eg::kKnobRowY[1]);
  DrawKnobSeat(canvas, drive, seatRadius);
  DrawLabelBelow(canvas, "DRIVE", drive.x, drive.y + labelGap);

  const float reverbHalf = eg::kReverbSwitchSize * 0.5f;
  const Point reverb{PanelX(eg::kReverbSwitchX) + reverbHalf,
                     PanelY(eg::kReverbSwitchY) + reverbHalf};
  DrawKnobSeat(canvas, reverb, reverbHalf + 1.0f);
  DrawLabelBelow(canvas, "REVERB", reverb.x, reverb.y + reverbHalf + 6.0f);

  const float velocityHalf = eg::kVelocitySwitchSize * 0.5f;
  const Point velocity{PanelX(eg::kVelocitySwitchX) + velocityHalf,
                       PanelY(eg::kVelocitySwitchY) + velocityHalf};
  DrawKnobSeat(canvas, velocity, velocityHalf + 0.8f);
  const StrokeText velocityLabel = LabelText("VEL");
  DrawPrintedText(canvas, velocityLabel, velocity.x - velocityHalf - 5.0f - velocityLabel.Width(),
                  velocity.y - velocityLabel.Height() * 0.5f, palette::kEngraving);
}
