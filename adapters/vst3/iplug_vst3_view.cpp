#include "iplug_vst3_view.h"

#include "iplug_vst3.h"

#include "graphics.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;

static bool IsEditorPlatformType(FIDString type)
{
  const char* supported = EditorPlatformType();
  return type && supported && std::strcmp(type, supported) == 0;
}

IPlugVST3View::IPlugVST3View(IPlugVST3* plug) : CPluginView(nullptr), mPlug(plug)
{
  mPlug->addRef();
  mPlug->AddView(this);
}

IPlugVST3View::~IPlugVST3View()
{
  StopEvents();
  mPlug->RemoveView(this);
  mPlug->release();
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type)
{
  return mPlug->Graphics() && IsEditorPlatformType(type) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type)
{
  IGraphics* graphics = mPlug->Graphics();
  // A host must not believe an editor shows when none does.
  if (!graphics || !IsEditorPlatformType(type) || !graphics->OpenEditorWindow(parent))
    return kResultFalse;
  CPluginView::attached(parent, type);
  mPlug->OnEditorOpen();
  StartEvents();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::removed()
{
  StopEvents();
  if (IGraphics* graphics = mPlug->Graphics())
  {
    mPlug->OnEditorClose();
    graphics->CloseEditorWindow();
  }
  CPluginView::removed();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::setFrame(IPlugFrame* frame)
{
  const tresult result = CPluginView::setFrame(frame);
  // The new frame may offer what the old one did not, or the reverse.
  if (mEvents)
  {
    StopEvents();
    StartEvents();
  }
  return result;
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size)
{
  IGraphics* graphics = mPlug->Graphics();
  if (!graphics) return kResultFalse;
  if (!size) return kInvalidArgument;
  *size = ViewRect(0, 0, graphics->Width(), graphics->Height());
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize)
{
  if (newSize) rect = *newSize;
  if (mResizePending)
  {
    mResizePending = false;
    mPlug->OnEditorResized();
  }
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::setContentScaleFactor(ScaleFactor factor)
{
  if (!std::isfinite(factor) || factor <= 0.0f) return kResultFalse;
  return mPlug->SetEditorContentScale(factor) ? kResultOk : kResultFalse;
}

void IPlugVST3View::RequestResize(int width, int height)
{
  if (!plugFrame) return;
  mResizePending = true;
  ViewRect size(0, 0, width, height);
  plugFrame->resizeView(this, &size);
}
