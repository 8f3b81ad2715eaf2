// Arbitrary VST3 event lists (every event type, any channel, pitch,
// velocity and offset) and parameter changes with any id and value, in
// blocks of any size and both sample sizes.

#include "fuzz_vst3_instance.h"

#include "pluginterfaces/vst/ivstevents.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  static FuzzVst3 plug;
  using namespace Steinberg;
  using namespace Steinberg::Vst;
  FuzzBytes bytes(data, size);
  while (!bytes.Empty())
  {
    ProcessBlock& block = bytes.Byte() & 1 ? plug.single : plug.wide;
    const int frames = bytes.Take<uint16_t>() % (FuzzVst3::kBlock + 1);
    block.Events().Clear();
    for (int count = bytes.Byte() % 16; count > 0 && !bytes.Empty(); --count)
    {
      // Data, text, chord and scale events carry pointers a host fills;
      // random bytes there would test this harness, not the plug-in.
      static constexpr uint16 kKinds[] = {
          Event::kNoteOnEvent,          Event::kNoteOffEvent,
          Event::kPolyPressureEvent,    Event::kNoteExpressionValueEvent,
          Event::kLegacyMIDICCOutEvent, 9};
      Event e{};
      e.type = kKinds[bytes.Byte() % 6];
      e.sampleOffset = bytes.Take<int16>();
      // The note-on record's fields overlay every other event's first bytes.
      e.noteOn.channel = bytes.Take<int16>();
      e.noteOn.pitch = bytes.Take<int16>();
      e.noteOn.velocity = bytes.Take<float>();
      e.noteOn.length = bytes.Take<int32>();
      block.Events().addEvent(e);
    }
    ParameterChanges& changes = block.Changes();
    changes.Clear();
    for (int count = bytes.Byte() % 4; count > 0 && !bytes.Empty(); --count)
    {
      ParamID id = bytes.Byte();
      if (id >= 0xF0) id = bytes.Take<ParamID>();
      const int32 offset = bytes.Take<int16>();
      changes.Add(id, offset, bytes.Take<double>());
    }
    plug.RenderAndCheck(block, frames);
  }
  return 0;
}
