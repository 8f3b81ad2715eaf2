// Arbitrary VST2 event lists (MIDI with any bytes and offsets, system
// exclusive, empty entries, unknown types) and block sizes, rendered in
// both precisions.

#include "fuzz_vst2_instance.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  static FuzzVst2 plug;
  FuzzBytes bytes(data, size);
  while (!bytes.Empty())
  {
    const int frames = 1 + bytes.Take<uint16_t>() % FuzzVst2::kBlock;
    Vst2EventList events;
    for (int count = bytes.Byte() % 16; count > 0 && !bytes.Empty(); --count)
    {
      const auto offset = static_cast<VstInt32>(bytes.Take<int16_t>());
      const unsigned char kind = bytes.Byte();
      if (kind < 0xF0)
      {
        const unsigned char status = bytes.Byte();
        const unsigned char data1 = bytes.Byte();
        events.AddMidi(offset, status, data1, bytes.Byte());
      }
      else if (kind < 0xF8)
      {
        events.AddSysex(offset, std::vector<char>(bytes.Byte() % 8, char(0xF0)));
      }
      else if (kind < 0xFC)
      {
        events.AddEmptyEntry();
      }
      else
      {
        events.AddOtherType(bytes.Take<VstInt32>(), offset);
      }
    }
    plug.host.SendEvents(plug.effect, events);
    plug.RenderAndCheck(frames);
  }
  return 0;
}
