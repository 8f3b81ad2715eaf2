#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <mutex>
#include <vector>

// What the plug-in told the host through its component handler.
struct HostEdit
{
  enum Kind
  {
    kBegin,
    kPerform,
    kEnd,
    kRestart,
    kContextMenu,
    kPopup
  };
  Kind kind;
  Steinberg::Vst::ParamID id;       // parameter of begin/perform/end/context menu
  Steinberg::Vst::ParamValue value; // performEdit's value
  Steinberg::int32 flags;           // restartComponent's flags; popup's x
  Steinberg::int32 y;               // popup's y
};

// Records every edit, gesture and restart the plug-in sends, from any thread.
// As IComponentHandler3 it hands out a context menu that records its popup.
class ComponentHandler : public Steinberg::FObject,
                         public Steinberg::Vst::IComponentHandler,
                         public Steinberg::Vst::IComponentHandler3
{
public:
  std::vector<HostEdit> Edits() const;
  void Clear();

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                            Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) SMTG_OVERRIDE;

  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(
      Steinberg::IPlugView* plugView, const Steinberg::Vst::ParamID* paramID) SMTG_OVERRIDE;

  // Called by the context menus this handler made.
  void Record(const HostEdit& edit);

  OBJ_METHODS(ComponentHandler, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IComponentHandler)
  DEF_INTERFACE(Steinberg::Vst::IComponentHandler3)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  mutable std::mutex mMutex;
  std::vector<HostEdit> mEdits;
};
