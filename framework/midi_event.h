#pragma once

#include <cstdint>

// Message kinds, the high four bits of the status byte.
enum EMidiKind : int
{
  kMidiNone = 0,
  kMidiNoteOff = 8,
  kMidiNoteOn = 9,
  kMidiPolyAftertouch = 10,
  kMidiControlChange = 11,
  kMidiProgramChange = 12,
  kMidiChannelAftertouch = 13,
  kMidiPitchWheel = 14,
};

// One MIDI message with its frame offset inside the current block. A plain
// value record; decoding is a pure function of the bytes.
struct IMidiEvent
{
  int32_t mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;

  // status >> 4 for kinds 8 to 14, else kMidiNone.
  EMidiKind Kind() const;
  int Channel() const { return mStatus & 0x0F; }
  // data1 for note off, note on and polyphonic aftertouch, else -1.
  int NoteNumber() const;
  // data2 for note off and note on, else -1.
  int Velocity() const;
  // data1 for a control change, else -1.
  int ControlNumber() const;
  // data2 / 127 for a control change, else -1.
  double ControlValue() const;
};

// A system-exclusive message as the host delivered it; the bytes belong to
// the host and are valid only during the call that passes the record.
struct ISysEx
{
  int32_t mOffset = 0;
  int32_t mSize = 0;
  const uint8_t* mData = nullptr;
};
