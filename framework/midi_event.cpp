#include "midi_event.h"

EMidiKind IMidiEvent::Kind() const
{
  const int kind = mStatus >> 4;
  return (kind >= kMidiNoteOff && kind <= kMidiPitchWheel) ? static_cast<EMidiKind>(kind)
                                                           : kMidiNone;
}

int IMidiEvent::NoteNumber() const
{
  const EMidiKind kind = Kind();
  const bool carriesNote =
      kind == kMidiNoteOff || kind == kMidiNoteOn || kind == kMidiPolyAftertouch;
  return carriesNote ? mData1 : -1;
}

int IMidiEvent::Velocity() const
{
  const EMidiKind kind = Kind();
  return (kind == kMidiNoteOff || kind == kMidiNoteOn) ? mData2 : -1;
}

int IMidiEvent::ControlNumber() const
{
  return Kind() == kMidiControlChange ? mData1 : -1;
}

double IMidiEvent::ControlValue() const
{
  return Kind() == kMidiControlChange ? mData2 / 127.0 : -1.0;
}
