// clap.state load with arbitrary bytes, read through a stream that hands out
// as few bytes a call as the first input byte says: whatever load answers,
// the state the plug-in then saves must load again through a 1-byte stream
// and save the same bytes, and the instrument must render.

#include "clap_streams.h"
#include "fuzz_clap_instance.h"

namespace
{
std::vector<uint8_t> Save(FuzzClap& plug)
{
  ClapOStream stream;
  if (!plug.state->save(plug.plugin, stream.Stream())) std::abort();
  return stream.Bytes();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  static FuzzClap plug;
  FuzzBytes bytes(data, size);
  const uint64_t chunk = 1 + bytes.Byte() % 32;
  ClapIStream input(std::vector<uint8_t>(bytes.Position(), bytes.Position() + bytes.Remaining()),
                    chunk);
  plug.state->load(plug.plugin, input.Stream());

  const std::vector<uint8_t> saved = Save(plug);
  ClapIStream again(saved, 1);
  if (!plug.state->load(plug.plugin, again.Stream()) || Save(plug) != saved) std::abort();
  plug.CheckHostCalls();
  plug.RenderAndCheck(64, true);
  plug.RenderAndCheck(64, false);
  return 0;
}
