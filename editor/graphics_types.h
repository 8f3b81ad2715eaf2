#pragma once

#include <cstdint>

class LICE_IBitmap;
class LICE_CachedFont;

// Plain records shared by the editor, its controls and the instrument's
// layout. Coordinates are integer editor pixels, origin top left, y down.

// A rectangle; right and bottom are exclusive. The all-zero rectangle is the
// empty one: it contains no point and intersects nothing. A rectangle with
// left >= right that is not all zero is not empty in this sense.
struct IRect
{
  int32_t L = 0;
  int32_t T = 0;
  int32_t R = 0;
  int32_t B = 0;

  IRect() = default;
  IRect(int32_t l, int32_t t, int32_t r, int32_t b) : L(l), T(t), R(r), B(b) {}

  int32_t W() const { return R - L; }
  int32_t H() const { return B - T; }
  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  bool Contains(int32_t x, int32_t y) const
  {
    return !Empty() && x >= L && x < R && y >= T && y < B;
  }
  // The edges of this rectangle are inclusive on its right and bottom side, so
  // a rectangle ending exactly where the other starts still counts.
  bool Intersects(const IRect& other) const
  {
    return !Empty() && !other.Empty() && R >= other.L && L < other.R && B >= other.T && T < other.B;
  }
  IRect Union(const IRect& other) const
  {
    if (Empty()) return other;
    if (other.Empty()) return *this;
    return IRect(L < other.L ? L : other.L, T < other.T ? T : other.T, R > other.R ? R : other.R,
                 B > other.B ? B : other.B);
  }
  // Overlap of two intersecting rectangles; the empty rectangle otherwise.
  IRect Intersection(const IRect& other) const
  {
    if (!Intersects(other)) return IRect();
    return IRect(L > other.L ? L : other.L, T > other.T ? T : other.T, R < other.R ? R : other.R,
                 B < other.B ? B : other.B);
  }
  bool operator==(const IRect& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRect& o) const { return !(*this == o); }
};

// A colour, each channel 0 to 255.
struct IRgba
{
  int32_t A = 255;
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  IRgba() = default;
  IRgba(int32_t a, int32_t r, int32_t g, int32_t b) : A(a), R(r), G(g), B(b) {}

  // The raster layer's pixel layout, 0xAARRGGBB.
  uint32_t Packed() const
  {
    return (uint32_t(A & 0xFF) << 24) | (uint32_t(R & 0xFF) << 16) | (uint32_t(G & 0xFF) << 8) |
           uint32_t(B & 0xFF);
  }
  bool operator==(const IRgba& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
};

const IRgba COLOR_BLACK(255, 0, 0, 0);
const IRgba COLOR_WHITE(255, 255, 255, 255);

// How a string is drawn.
struct ITextStyle
{
  enum Style : int32_t
  {
    kStyleNormal = 0,
    kStyleBold = 1,
    kStyleItalic = 2
  };
  enum Align : int32_t
  {
    kAlignNear = 0,
    kAlignCenter = 1,
    kAlignFar = 2
  };
  enum Quality : int32_t
  {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };

  char mFont[32] = "Verdana";
  int32_t mSize = 12;
  IRgba mColor = COLOR_BLACK;
  IRgba mTextEntryBGColor = COLOR_WHITE;
  IRgba mTextEntryFGColor = COLOR_BLACK;
  int32_t mStyle = kStyleNormal;
  int32_t mAlign = kAlignCenter;
  // Degrees of rotation.
  int32_t mOrientation = 0;
  int32_t mQuality = kQualityDefault;
  // Resolved by IGraphics::CacheFont; owned by the process-wide font cache.
  LICE_CachedFont* mCached = nullptr;

  ITextStyle() = default;
  // The font name is cut to fit its 31 characters.
  ITextStyle(int32_t size, const IRgba& color, const char* font, int32_t style, int32_t align,
             int32_t orientation = 0, int32_t quality = kQualityDefault,
             const IRgba& textEntryBG = COLOR_WHITE, const IRgba& textEntryFG = COLOR_BLACK);
};

// A loaded image: frames stacked vertically unless mFramesAreHorizontal.
// A missing image has a null bitmap and zero size, and draws nothing.
struct IImage
{
  LICE_IBitmap* mBitmap = nullptr;
  int32_t W = 0;
  int32_t H = 0;
  int32_t N = 1;
  bool mFramesAreHorizontal = false;

  IImage() = default;
  IImage(LICE_IBitmap* bitmap, int32_t w, int32_t h, int32_t n = 1, bool horizontal = false)
      : mBitmap(bitmap), W(w), H(h), N(n < 1 ? 1 : n), mFramesAreHorizontal(horizontal)
  {
  }
};

// How a control's pixels combine with what lies beneath.
struct IBlend
{
  enum Method : int32_t
  {
    kBlendNone = 0,    // alpha compositing with the image's alpha
    kBlendClobber = 1, // plain copy, the image's alpha ignored
    kBlendAdd = 2,
    kBlendColorDodge = 3
  };

  int32_t mMethod = kBlendNone;
  float mWeight = 1.0f;

  IBlend() = default;
  IBlend(int32_t method, float weight = 1.0f) : mMethod(method), mWeight(weight) {}

  // The raster layer's blit mode for this method.
  int32_t RasterMode() const;
};

// Mouse buttons and modifier keys of one event.
struct IMouseKeys
{
  bool L = false;
  bool R = false;
  bool S = false;
  bool C = false;
  bool A = false;

  IMouseKeys() = default;
  IMouseKeys(bool left, bool right, bool shift, bool control, bool alt)
      : L(left), R(right), S(shift), C(control), A(alt)
  {
  }
};
