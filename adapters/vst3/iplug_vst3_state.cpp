// The state hosts save and restore: the state chunk followed by the bypass
// flag as a little-endian int32.

#include "iplug_vst3.h"

#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;

static bool WriteAll(IBStream* stream, const void* bytes, int32 count)
{
  int32 written = 0;
  return stream->write(const_cast<void*>(bytes), count, &written) == kResultOk && written == count;
}

// Reads up to count bytes, also from streams that deliver them in pieces;
// answers how many arrived.
static int32 ReadUpTo(IBStream* stream, void* bytes, int32 count)
{
  auto* destination = static_cast<unsigned char*>(bytes);
  int32 total = 0;
  while (total < count)
  {
    int32 read = 0;
    if (stream->read(destination + total, count - total, &read) != kResultOk || read <= 0 ||
        read > count - total)
      break;
    total += read;
  }
  return total;
}

tresult PLUGIN_API IPlugVST3::getState(IBStream* state)
{
  if (!state) return kResultFalse;
  CriticalSectionLock lock(GetLock());
  ByteChunk chunk;
  if (!SaveStateChunk(chunk) || !chunk.PutInt32(IsBypassed() ? 1 : 0)) return kResultFalse;
  return WriteAll(state, chunk.GetBytes(), chunk.Size()) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3::setState(IBStream* state)
{
  if (!state) return kResultFalse;
  CriticalSectionLock lock(GetLock());
  ByteChunk current;
  SaveStateChunk(current);
  const int32 expected = current.Size();
  ByteChunk chunk;
  if (expected <= 0 || !chunk.Resize(expected)) return kResultFalse;
  // Only what the stream really delivered is loaded: a short stream restores
  // the parameters it covers, an empty one changes nothing.
  const int32 read = ReadUpTo(state, chunk.GetBytes(), expected);
  if (read <= 0) return kResultFalse;
  chunk.Resize(read);
  LoadStateChunk(chunk, 0);
  unsigned char word[4] = {};
  const bool haveBypass = read == expected && ReadUpTo(state, word, 4) == 4;
  if (haveBypass)
  {
    int32_t bypass = 0;
    ReadInt32At(word, 4, 0, &bypass);
    SetBypassed(bypass != 0);
  }
  RefreshParamControls();
  return haveBypass ? kResultOk : kResultFalse;
}
