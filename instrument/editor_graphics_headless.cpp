#include "editor_graphics.h"

#include "headless/graphics_headless.h"

IGraphics* CreateInstrumentGraphics(IPlugBase* plug, int width, int height, int fps,
                                    void* imageModule)
{
  auto* graphics = new IGraphicsHeadless(plug, width, height, fps);
  graphics->SetModuleInstance(imageModule);
  return graphics;
}
