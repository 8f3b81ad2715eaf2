#include "panel_control.h"

#include "graphics.h"

bool IPanelControl::Draw(IGraphics* graphics)
{
  graphics->FillRect(mColor, mRECT, &mBlend);
  return true;
}
