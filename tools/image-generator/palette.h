#pragma once

#include "canvas.h"

// The editor's colours, chosen together: graphite surfaces, light engraving,
// a deep red accent and lit segments that read as glowing.
namespace palette
{
constexpr Colour kBackgroundTop = Rgb(31, 33, 37);
constexpr Colour kBackgroundBottom = Rgb(17, 18, 21);
constexpr Colour kHeaderTop = Rgb(44, 47, 52);
constexpr Colour kHeaderBottom = Rgb(27, 29, 32);
constexpr Colour kPanelTop = Rgb(58, 61, 67);
constexpr Colour kPanelBottom = Rgb(40, 42, 47);
constexpr Colour kEngraving = Rgb(206, 209, 214);
constexpr Colour kEngravingDim = Rgb(140, 145, 153);
constexpr Colour kHighlight = Rgb(255, 255, 255);
constexpr Colour kShadow = Rgb(0, 0, 0);
constexpr Colour kKarmaRed = Rgb(196, 26, 36);
constexpr Colour kKarmaRedDark = Rgb(122, 12, 20);
constexpr Colour kKarmaRedLight = Rgb(236, 74, 78);
constexpr Colour kLitRed = Rgb(255, 70, 52);
constexpr Colour kLitWhite = Rgb(245, 244, 238);
constexpr Colour kUnlitSegment = Rgb(82, 85, 92);
constexpr Colour kIvory = Rgb(242, 241, 236);
constexpr Colour kIvoryShade = Rgb(178, 177, 172);
constexpr Colour kButtonTop = Rgb(52, 55, 61);
constexpr Colour kButtonBottom = Rgb(33, 35, 39);
constexpr Colour kButtonInk = Rgb(196, 200, 207);
} // namespace palette
