#include "platform_graphics.h"

#include "x11/graphics_x11.h"

IGraphics* CreatePlatformGraphics(IPlugBase* plug, int width, int height, int fps,
                                  void* moduleInstance)
{
  auto* graphics = new IGraphicsX11(plug, width, height, fps);
  graphics->SetModuleInstance(moduleInstance);
  return graphics;
}
