#include "clap_events.h"

#include <cstring>

ClapInputEvents::ClapInputEvents() : mList{this, &ClapInputEvents::SizeOf, &ClapInputEvents::Get} {}

void ClapInputEvents::Add(const clap_event_header_t& event)
{
  const size_t words = (event.size + sizeof(uint64_t) - 1) / sizeof(uint64_t);
  const size_t offset = mStorage.size();
  mStorage.resize(offset + words);
  std::memcpy(mStorage.data() + offset, &event, event.size);
  mOffsets.push_back(offset);
}

static clap_event_header_t CoreHeader(uint32_t size, uint16_t type, uint16_t spaceId)
{
  clap_event_header_t header{};
  header.size = size;
  header.space_id = spaceId;
  header.type = type;
  return header;
}

clap_event_note_t ClapNoteEvent(uint16_t type, int16_t key, double velocity, int16_t channel,
                                int16_t port, uint16_t spaceId)
{
  clap_event_note_t note{};
  note.header = CoreHeader(sizeof(note), type, spaceId);
  note.note_id = -1;
  note.port_index = port;
  note.channel = channel;
  note.key = key;
  note.velocity = velocity;
  return note;
}

clap_event_midi_t ClapMidiEvent(uint8_t status, uint8_t data1, uint8_t data2, uint16_t spaceId)
{
  clap_event_midi_t midi{};
  midi.header = CoreHeader(sizeof(midi), kClapEventMidi, spaceId);
  midi.data[0] = status;
  midi.data[1] = data1;
  midi.data[2] = data2;
  return midi;
}

clap_event_param_value_t ClapParamValueEvent(clap_id paramId, double value, void* cookie,
                                             uint16_t spaceId)
{
  clap_event_param_value_t param{};
  param.header = CoreHeader(sizeof(param), kClapEventParamValue, spaceId);
  param.param_id = paramId;
  param.cookie = cookie;
  param.note_id = -1;
  param.port_index = -1;
  param.channel = -1;
  param.key = -1;
  param.value = value;
  return param;
}

template <typename Event>
static void AddAt(ClapInputEvents& list, Event event, uint32_t time)
{
  event.header.time = time;
  list.Add(event.header);
}

void ClapInputEvents::AddNote(uint16_t type, uint32_t time, int16_t key, double velocity,
                              int16_t channel)
{
  AddAt(*this, ClapNoteEvent(type, key, velocity, channel), time);
}

void ClapInputEvents::AddMidi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2)
{
  AddAt(*this, ClapMidiEvent(status, data1, data2), time);
}

void ClapInputEvents::AddParamValue(uint32_t time, clap_id paramId, double value, uint16_t spaceId)
{
  AddAt(*this, ClapParamValueEvent(paramId, value, nullptr, spaceId), time);
}

void ClapInputEvents::Clear()
{
  mStorage.clear();
  mOffsets.clear();
}

uint32_t ClapInputEvents::SizeOf(const clap_input_events_t* list)
{
  return static_cast<const ClapInputEvents*>(list->ctx)->Size();
}

const clap_event_header_t* ClapInputEvents::Get(const clap_input_events_t* list, uint32_t index)
{
  const auto* self = static_cast<const ClapInputEvents*>(list->ctx);
  if (index >= self->mOffsets.size()) return nullptr;
  return reinterpret_cast<const clap_event_header_t*>(self->mStorage.data() +
                                                      self->mOffsets[index]);
}

ClapOutputEvents::ClapOutputEvents() : mList{this, &ClapOutputEvents::TryPush} {}

const clap_event_header_t* ClapOutputEvents::Get(uint32_t index) const
{
  return mEvents.List()->get(mEvents.List(), index);
}

bool ClapOutputEvents::TryPush(const clap_output_events_t* list, const clap_event_header_t* event)
{
  auto* self = static_cast<ClapOutputEvents*>(list->ctx);
  if (!event || event->size < sizeof(clap_event_header_t) ||
      self->mEvents.Size() >= self->mCapacity)
    return false;
  self->mEvents.Add(*event);
  return true;
}
