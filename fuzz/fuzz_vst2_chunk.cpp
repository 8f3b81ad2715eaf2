// effSetChunk with arbitrary bytes, as a program (first byte odd) or a bank:
// it must answer, keep every parameter in range and leave a chunk that
// restores and renders.

#include "fuzz_vst2_instance.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  static FuzzVst2 plug;
  if (size == 0) return 0;
  const VstInt32 isProgram = data[0] & 1;
  std::vector<unsigned char> chunk(data + 1, data + size);
  plug.host.Dispatch(plug.effect, effSetChunk, isProgram, VstIntPtr(chunk.size()), chunk.data());
  for (VstInt32 i = 0; i < plug.effect->numParams; ++i)
  {
    const float value = plug.effect->getParameter(plug.effect, i);
    if (!(value >= 0.0f && value <= 1.0f)) std::abort();
  }
  void* saved = nullptr;
  const VstIntPtr savedSize = plug.host.Dispatch(plug.effect, effGetChunk, isProgram, 0, &saved);
  if (savedSize <= 0 || !saved) std::abort();
  const std::vector<unsigned char> copy(static_cast<unsigned char*>(saved),
                                        static_cast<unsigned char*>(saved) + savedSize);
  if (plug.host.Dispatch(plug.effect, effSetChunk, isProgram, VstIntPtr(copy.size()),
                         const_cast<unsigned char*>(copy.data())) != 1)
    std::abort();
  plug.RenderAndCheck(64);
  return 0;
}
