#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <utility>
#include <vector>

// One parameter's automation points for a block.
class ParamValueQueue : public Steinberg::FObject, public Steinberg::Vst::IParamValueQueue
{
public:
  explicit ParamValueQueue(Steinberg::Vst::ParamID id) : mId(id) {}

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset,
                                         Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) SMTG_OVERRIDE;

  OBJ_METHODS(ParamValueQueue, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IParamValueQueue)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  Steinberg::Vst::ParamID mId;
  std::vector<std::pair<Steinberg::int32, Steinberg::Vst::ParamValue>> mPoints;
};

// The parameter changes of one block: one queue per parameter id.
class ParameterChanges : public Steinberg::FObject, public Steinberg::Vst::IParameterChanges
{
public:
  // Adds a point to the queue of id (created on first use).
  void Add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset,
           Steinberg::Vst::ParamValue value);
  void Clear() { mQueues.clear(); }

  Steinberg::int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index)
      SMTG_OVERRIDE;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API
  addParameterData(const Steinberg::Vst::ParamID& id, Steinberg::int32& index) SMTG_OVERRIDE;

  OBJ_METHODS(ParameterChanges, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IParameterChanges)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  std::vector<Steinberg::IPtr<ParamValueQueue>> mQueues;
};
