#include "iplug_vst3_view.h"

#include "pluginterfaces/gui/iplugview.h"

// The window's own timer and messages drive the Win32 editor.
struct IPlugVST3View::EventPlumbing
{
};

const char* EditorPlatformType()
{
  return Steinberg::kPlatformTypeHWND;
}

void IPlugVST3View::StartEvents() {}

void IPlugVST3View::StopEvents() {}
