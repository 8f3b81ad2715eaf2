#pragma once

#include "midi_event.h"

// What the test effect records about its last instance (see
// test_effect.cpp); read by the tests through TestEffectProbeRecord.
struct TestEffectProbes
{
  int resets = 0;
  int activations = 0;
  bool active = false;
  int paramChanges = 0;
  int hostIdentified = -2; // the host id seen by AfterHostIdentified
  int midiCount = 0;
  IMidiEvent midi[64];
  int editorResized = 0;
};
