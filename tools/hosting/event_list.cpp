#include "event_list.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

void EventList::AddNoteOn(int32 sampleOffset, int16 channel, int16 pitch, float velocity)
{
  Event e{};
  e.type = Event::kNoteOnEvent;
  e.sampleOffset = sampleOffset;
  e.noteOn.channel = channel;
  e.noteOn.pitch = pitch;
  e.noteOn.velocity = velocity;
  e.noteOn.noteId = -1;
  addEvent(e);
}

void EventList::AddNoteOff(int32 sampleOffset, int16 channel, int16 pitch)
{
  Event e{};
  e.type = Event::kNoteOffEvent;
  e.sampleOffset = sampleOffset;
  e.noteOff.channel = channel;
  e.noteOff.pitch = pitch;
  e.noteOff.noteId = -1;
  addEvent(e);
}

int32 PLUGIN_API EventList::getEventCount()
{
  return static_cast<int32>(mEvents.size());
}

tresult PLUGIN_API EventList::getEvent(int32 index, Event& e)
{
  if (index < 0 || index >= getEventCount()) return kInvalidArgument;
  e = mEvents[static_cast<size_t>(index)];
  return kResultOk;
}

tresult PLUGIN_API EventList::addEvent(Event& e)
{
  mEvents.push_back(e);
  return kResultOk;
}
