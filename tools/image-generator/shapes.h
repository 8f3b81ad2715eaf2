#pragma once

#include "canvas.h"

#include <cmath>
#include <vector>

// Signed distance functions in design units (negative inside) and the boxes
// that hold them. Distances are exact for circles, rings, capsules and
// rectangles; polygons are exact inside and near enough outside for a
// one-pixel edge.

struct Point
{
  float x;
  float y;
};

inline Box CircleBox(float cx, float cy, float radius)
{
  return {cx - radius, cy - radius, cx + radius, cy + radius};
}

inline auto Circle(float cx, float cy, float radius)
{
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

// A ring of the given centre-line radius and width.
inline auto Ring(float cx, float cy, float radius, float width)
{
  return [=](float x, float y)
  { return std::fabs(std::hypot(x - cx, y - cy) - radius) - width * 0.5f; };
}

inline float RoundedBoxDistance(Box box, float radius, float x, float y)
{
  const float cx = (box.left + box.right) * 0.5f;
  const float cy = (box.top + box.bottom) * 0.5f;
  const float qx = std::fabs(x - cx) - ((box.right - box.left) * 0.5f - radius);
  const float qy = std::fabs(y - cy) - ((box.bottom - box.top) * 0.5f - radius);
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

inline auto RoundedBox(Box box, float radius)
{
  return [=](float x, float y) { return RoundedBoxDistance(box, radius, x, y); };
}

inline float SegmentDistance(Point a, Point b, float x, float y)
{
  const float abx = b.x - a.x;
  const float aby = b.y - a.y;
  const float lengthSquared = abx * abx + aby * aby;
  float t = 0.0f;
  if (lengthSquared > 0.0f)
    t = std::clamp(((x - a.x) * abx + (y - a.y) * aby) / lengthSquared, 0.0f, 1.0f);
  return std::hypot(x - (a.x + abx * t), y - (a.y + aby * t));
}

// A line of the given width with round ends.
inline auto Capsule(Point a, Point b, float width)
{
  return [=](float x, float y) { return SegmentDistance(a, b, x, y) - width * 0.5f; };
}

inline Box CapsuleBox(Point a, Point b, float width)
{
  return Inflate({std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)},
                 width * 0.5f);
}

// A convex polygon whose corners run clockwise on screen (y down).
inline auto ConvexPolygon(std::vector<Point> corners)
{
  return [corners = std::move(corners)](float x, float y)
  {
    float distance = -1e9f;
    for (std::size_t i = 0; i < corners.size(); ++i)
    {
      const Point a = corners[i];
      const Point b = corners[(i + 1) % corners.size()];
      const float length = std::hypot(b.x - a.x, b.y - a.y);
      // Outward normal of a clockwise edge in y-down coordinates.
      const float nx = (b.y - a.y) / length;
      const float ny = -(b.x - a.x) / length;
      distance = std::max(distance, (x - a.x) * nx + (y - a.y) * ny);
    }
    return distance;
  };
}

// The point at `radius` from the centre in direction `angle` (radians,
// 0 straight up, growing clockwise).
inline Point Polar(float cx, float cy, float radius, float angle)
{
  return {cx + radius * std::sin(angle), cy - radius * std::cos(angle)};
}
