#include "plug_frame.h"

using namespace Steinberg;

tresult PLUGIN_API PlugFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
  if (!view || !newSize) return kInvalidArgument;
  mRequests.push_back(*newSize);
  return view->onSize(newSize);
}
