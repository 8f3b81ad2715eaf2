#include "iplug_vst3_view.h"

// The editor has no window outside Windows yet, so no window type is offered.
const char* EditorPlatformType()
{
  return nullptr;
}
