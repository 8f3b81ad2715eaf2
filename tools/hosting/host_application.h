#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

#include <string>

// The host context handed to initialize: tells the plug-in the host's name.
// It creates no objects for the plug-in.
class HostApplication : public Steinberg::FObject, public Steinberg::Vst::IHostApplication
{
public:
  explicit HostApplication(std::string name) : mName(std::move(name)) {}

  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                               void** obj) SMTG_OVERRIDE;

  OBJ_METHODS(HostApplication, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IHostApplication)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  std::string mName;
};
