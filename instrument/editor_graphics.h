#pragma once

// The editor object the instrument builds its layout into, and where its
// images come from. The platform variant (editor_graphics_platform.cpp) is
// the plug-ins' own: the Win32 editor on Windows, the X11 one on
// Linux. The headless variant (editor_graphics_headless.cpp) serves
// test builds on every platform, whose prompts answer from queues.

class IGraphics;
class IPlugBase;

// The editor for plug at the given size; the caller attaches it.
IGraphics* CreateInstrumentGraphics(IPlugBase* plug, int width, int height, int fps,
                                    void* imageModule);

// The handle the editor reads the images through: the module's instance
// handle on Windows, the module's embedded image table elsewhere.
void* EditorImageModule();
