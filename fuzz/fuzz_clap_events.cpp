// Arbitrary CLAP input events (every core type and some beyond, any space
// id, field and time in the block, any size from a bare header to the
// whole record), PARAM_VALUE with any id and value and the parameter's
// cookie or none, and any transport, in blocks of any size and both
// precisions; now and then delivered through params.flush instead of
// process, as a host that is not processing does.

#include "fuzz_clap_instance.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  static FuzzClap plug;
  FuzzBytes bytes(data, size);
  while (!bytes.Empty())
  {
    const unsigned char mode = bytes.Byte();
    const int frames = bytes.Take<uint16_t>() % (FuzzClap::kBlock + 1);
    // Room for the largest record (transport, 104 bytes).
    struct alignas(8) Slot
    {
      unsigned char bytes[104];
    };
    std::vector<Slot> slots(bytes.Byte() % 16);
    for (Slot& slot : slots)
    {
      for (unsigned char& byte : slot.bytes)
        byte = bytes.Byte();
      auto* header = reinterpret_cast<clap_event_header_t*>(slot.bytes);
      // Any size from a bare header to the whole record; sizes in that range
      // stay as they are.
      if (header->size < sizeof(clap_event_header_t) || header->size > sizeof(slot.bytes))
        header->size =
            uint32_t(sizeof(clap_event_header_t) +
                     header->size % (sizeof(slot.bytes) - sizeof(clap_event_header_t) + 1));
      header->type = uint16_t(header->type % 14);
      if (header->space_id % 8) header->space_id = kClapCoreEventSpaceId;
      // Times within the block, as every host delivers them.
      header->time = frames > 0 ? header->time % uint32_t(frames) : 0;
      // Pointers a host fills: the parameter's own cookie or none, and a
      // SysEx buffer inside the record.
      if (header->type == kClapEventParamValue || header->type == kClapEventParamMod)
      {
        auto* param = reinterpret_cast<clap_event_param_value_t*>(slot.bytes);
        param->cookie = param->param_id < plug.cookies.size() && (mode & 2)
                            ? plug.cookies[param->param_id]
                            : nullptr;
      }
      if (header->type == kClapEventMidiSysex)
      {
        auto* sysex = reinterpret_cast<clap_event_midi_sysex_t*>(slot.bytes);
        sysex->buffer = slot.bytes;
        sysex->size %= sizeof(slot.bytes);
      }
    }
    std::stable_sort(slots.begin(), slots.end(),
                     [](const Slot& a, const Slot& b)
                     {
                       return reinterpret_cast<const clap_event_header_t*>(a.bytes)->time <
                              reinterpret_cast<const clap_event_header_t*>(b.bytes)->time;
                     });
    plug.events.Clear();
    for (const Slot& slot : slots)
      plug.events.Add(*reinterpret_cast<const clap_event_header_t*>(slot.bytes));
    if (mode & 4)
    {
      ClapHost::AudioThreadScope audio(plug.host);
      plug.params->flush(plug.plugin, plug.events.List(), plug.outputs.List());
      plug.events.Clear();
      plug.outputs.Clear();
    }
    clap_event_transport_t transport{};
    std::memcpy(&transport, bytes.Position(), std::min(bytes.Remaining(), sizeof(transport)));
    transport.header = {sizeof(transport), 0, kClapCoreEventSpaceId, kClapEventTransport, 0};
    plug.RenderAndCheck(frames, mode & 1, mode & 8 ? &transport : nullptr);
  }
  return 0;
}
