// The editor opcodes and the base's editor operations: user-interface
// thread; the lock is held except while closing and idling.
#include "graphics.h"
#include "iplug_vst.h"

IGraphics* IPlugVST::Graphics() const
{
  // Only a window-capable editor can be shown inside the host's window.
  return dynamic_cast<IGraphics*>(GetEditor());
}

void IPlugVST::SetEditRectFrom(const IGraphics& graphics)
{
  mEditRect = ERect{0, 0, static_cast<VstInt16>(graphics.Height()),
                    static_cast<VstInt16>(graphics.Width())};
}

void IPlugVST::AttachEditor(IPlugEditor* editor)
{
  IPlugBase::AttachEditor(editor);
  IGraphics* graphics = Graphics();
  if (!graphics) return;
  mAEffect.flags |= effFlagsHasEditor;
  SetEditRectFrom(*graphics);
}

void IPlugVST::ResizeEditor(int width, int height)
{
  IGraphics* graphics = Graphics();
  if (!graphics) return;
  // The rectangle follows the editor itself, which has already taken its size.
  SetEditRectFrom(*graphics);
  OnEditorResized();
}

VstIntPtr IPlugVST::EditGetRect(void* ptr)
{
  if (!ptr || !Graphics()) return 0;
  *static_cast<ERect**>(ptr) = &mEditRect;
  return 1;
}

VstIntPtr IPlugVST::EditOpen(void* parentWindow)
{
  // Opening again replaces the window the events belong to.
  StopEditorEvents();
  CriticalSectionLock lock(GetLock());
  IGraphics* graphics = Graphics();
  if (!graphics || !graphics->OpenEditorWindow(parentWindow)) return 0;
  OnEditorOpen();
  StartEditorEvents();
  return 1;
}

VstIntPtr IPlugVST::EditClose()
{
  StopEditorEvents();
  CriticalSectionLock lock(GetLock());
  IGraphics* graphics = Graphics();
  if (!graphics) return 0;
  OnEditorClose();
  graphics->CloseEditorWindow();
  return 1;
}
