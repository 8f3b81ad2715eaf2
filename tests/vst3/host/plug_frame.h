#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <vector>

// The host side of an editor view: grants every resize request and, as hosts
// do, answers it with the view's onSize.
class PlugFrame : public Steinberg::FObject, public Steinberg::IPlugFrame
{
public:
  const std::vector<Steinberg::ViewRect>& Requests() const { return mRequests; }

  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view,
                                           Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

  OBJ_METHODS(PlugFrame, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::IPlugFrame)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  std::vector<Steinberg::ViewRect> mRequests;
};
