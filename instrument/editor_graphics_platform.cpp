#include "editor_graphics.h"

#include "platform_graphics.h"

IGraphics* CreateInstrumentGraphics(IPlugBase* plug, int width, int height, int fps,
                                    void* imageModule)
{
  return CreatePlatformGraphics(plug, width, height, fps, imageModule);
}
