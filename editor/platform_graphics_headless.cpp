#include "platform_graphics.h"

#include "graphics_headless.h"

IGraphics* CreatePlatformGraphics(IPlugBase* plug, int width, int height, int fps,
                                  void* moduleInstance)
{
  auto* graphics = new IGraphicsHeadless(plug, width, height, fps);
  graphics->SetModuleInstance(moduleInstance);
  return graphics;
}
