#include "iplug_vst.h"

#include "x11/graphics_x11.h"
#include "x11/x11_editor_driver.h"

// Hosts drive the editor with effEditIdle; for hosts that never send it,
// the driver's thread steps in.
struct IPlugVST::EditorEvents
{
  explicit EditorEvents(IGraphicsX11& graphics) : driver(graphics) {}
  X11EditorDriver driver;
};

void IPlugVST::StartEditorEvents()
{
  auto* graphics = dynamic_cast<IGraphicsX11*>(Graphics());
  if (mEditorEvents || !graphics || !graphics->WindowHandle()) return;
  mEditorEvents = new EditorEvents(*graphics);
  mEditorEvents->driver.StartThread();
}

void IPlugVST::StopEditorEvents()
{
  delete mEditorEvents;
  mEditorEvents = nullptr;
}

VstIntPtr IPlugVST::EditIdle()
{
  if (mEditorEvents) mEditorEvents->driver.Idle();
  return 0;
}
