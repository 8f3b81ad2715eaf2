// IComponent::setState with arbitrary bytes: whatever it answers, the state
// it then saves must restore, and the instrument must render.

#include "fuzz_vst3_instance.h"
#include "memory_stream.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  static FuzzVst3 plug;
  using namespace Steinberg;
  IPtr<MemoryStream> input = owned(new MemoryStream(std::vector<char>(data, data + size)));
  plug.component->setState(input);
  IPtr<MemoryStream> saved = owned(new MemoryStream);
  if (plug.component->getState(saved) != kResultOk) std::abort();
  saved->Rewind();
  if (plug.component->setState(saved) != kResultOk) std::abort();
  plug.RenderAndCheck(plug.single, 64);
  plug.RenderAndCheck(plug.wide, 64);
  return 0;
}
