#include "iplug_vst.h"

// The window's own timer and messages drive the Win32 editor.
struct IPlugVST::EditorEvents
{
};

void IPlugVST::StartEditorEvents() {}

void IPlugVST::StopEditorEvents() {}

VstIntPtr IPlugVST::EditIdle()
{
  return 0;
}
