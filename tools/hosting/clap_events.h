#pragma once

#include "clap_abi.h"

#include <cstdint>
#include <vector>

// Core events with size and type filled in, at time 0 of space 0 unless
// given; wildcard fields (-1) where the record has them and the caller does
// not say.
clap_event_note_t ClapNoteEvent(uint16_t type, int16_t key, double velocity, int16_t channel = 0,
                                int16_t port = 0, uint16_t spaceId = kClapCoreEventSpaceId);
clap_event_midi_t ClapMidiEvent(uint8_t status, uint8_t data1, uint8_t data2,
                                uint16_t spaceId = kClapCoreEventSpaceId);
clap_event_param_value_t ClapParamValueEvent(clap_id paramId, double value, void* cookie = nullptr,
                                             uint16_t spaceId = kClapCoreEventSpaceId);

// An input event list a host hands to process or flush: events are copied
// in, kept in the order added (add them sorted by time) and read back
// through the clap_input_events_t the plug-in sees.
class ClapInputEvents
{
public:
  ClapInputEvents();
  ClapInputEvents(const ClapInputEvents&) = delete;
  ClapInputEvents& operator=(const ClapInputEvents&) = delete;

  // Copies any event whose header.size says how long it is.
  void Add(const clap_event_header_t& event);
  // The events above at a time of the block.
  void AddNote(uint16_t type, uint32_t time, int16_t key, double velocity, int16_t channel = 0);
  void AddMidi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);
  void AddParamValue(uint32_t time, clap_id paramId, double value,
                     uint16_t spaceId = kClapCoreEventSpaceId);
  void Clear();
  uint32_t Size() const { return static_cast<uint32_t>(mOffsets.size()); }

  const clap_input_events_t* List() const { return &mList; }

private:
  static uint32_t SizeOf(const clap_input_events_t* list);
  static const clap_event_header_t* Get(const clap_input_events_t* list, uint32_t index);

  // Events stored back to back, each at an 8-byte aligned offset.
  std::vector<uint64_t> mStorage;
  std::vector<size_t> mOffsets;
  clap_input_events_t mList;
};

// An output event list: what the plug-in pushes is copied and kept.
class ClapOutputEvents
{
public:
  ClapOutputEvents();
  ClapOutputEvents(const ClapOutputEvents&) = delete;
  ClapOutputEvents& operator=(const ClapOutputEvents&) = delete;

  // Accepts at most capacity events (then try_push answers false).
  void SetCapacity(size_t capacity) { mCapacity = capacity; }
  void Clear() { mEvents.Clear(); }
  // What arrived, as an input list (so it can be fed back or inspected).
  const ClapInputEvents& Events() const { return mEvents; }
  uint32_t Size() const { return mEvents.Size(); }
  const clap_event_header_t* Get(uint32_t index) const;

  const clap_output_events_t* List() const { return &mList; }

private:
  static bool TryPush(const clap_output_events_t* list, const clap_event_header_t* event);

  ClapInputEvents mEvents;
  size_t mCapacity = SIZE_MAX;
  clap_output_events_t mList;
};
