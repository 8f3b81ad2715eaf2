#pragma once

class IGraphics;
class IPlugBase;

// The editor of the platform the module is built for: IGraphicsWin on
// Windows (moduleInstance: the module's HINSTANCE, whose PNG resources it
// reads), IGraphicsX11 on Linux (moduleInstance: the module's
// EmbeddedPngTable). The caller owns the result (normally it hands it to
// the plugin base with AttachEditor).
IGraphics* CreatePlatformGraphics(IPlugBase* plug, int width, int height, int fps,
                                  void* moduleInstance);
