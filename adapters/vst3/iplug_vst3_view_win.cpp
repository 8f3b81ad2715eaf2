#include "iplug_vst3_view.h"

#include "pluginterfaces/gui/iplugview.h"

const char* EditorPlatformType()
{
  return Steinberg::kPlatformTypeHWND;
}
