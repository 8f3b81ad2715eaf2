#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

// The events of one block, in the order they were added.
class EventList : public Steinberg::FObject, public Steinberg::Vst::IEventList
{
public:
  void AddNoteOn(Steinberg::int32 sampleOffset, Steinberg::int16 channel, Steinberg::int16 pitch,
                 float velocity);
  void AddNoteOff(Steinberg::int32 sampleOffset, Steinberg::int16 channel, Steinberg::int16 pitch);
  void Clear() { mEvents.clear(); }

  Steinberg::int32 PLUGIN_API getEventCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index,
                                         Steinberg::Vst::Event& e) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) SMTG_OVERRIDE;

  OBJ_METHODS(EventList, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IEventList)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  std::vector<Steinberg::Vst::Event> mEvents;
};
