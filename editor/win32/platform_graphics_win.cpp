#include "platform_graphics.h"

#include "win32/graphics_win.h"

IGraphics* CreatePlatformGraphics(IPlugBase* plug, int width, int height, int fps,
                                  void* moduleInstance)
{
  auto* graphics = new IGraphicsWin(plug, width, height, fps);
  graphics->SetHInstance(static_cast<HINSTANCE>(moduleInstance));
  return graphics;
}
