#include "graphics_types.h"

#include <cstring>

ITextStyle::ITextStyle(int32_t size, const IRgba& color, const char* font, int32_t style,
                       int32_t align, int32_t orientation, int32_t quality,
                       const IRgba& textEntryBG, const IRgba& textEntryFG)
    : mSize(size), mColor(color), mTextEntryBGColor(textEntryBG), mTextEntryFGColor(textEntryFG),
      mStyle(style), mAlign(align), mOrientation(orientation), mQuality(quality)
{
  if (font)
  {
    std::strncpy(mFont, font, sizeof(mFont) - 1);
    mFont[sizeof(mFont) - 1] = '\0';
  }
}

int32_t IBlend::RasterMode() const
{
  switch (mMethod)
  {
  case kBlendClobber:
    return 0;
  case kBlendAdd:
    return 0x10001;
  case kBlendColorDodge:
    return 0x10002;
  default:
    return 0x10000;
  }
}
