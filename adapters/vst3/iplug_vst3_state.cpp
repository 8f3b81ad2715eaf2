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
  // Copied under the lock, streamed outside it: the host's stream may wait
  // for anything, and the audio thread must not wait for the host.
  ByteChunk chunk;
  {
    CriticalSectionLock lock(GetLock());
    if (!SaveStateChunk(chunk) || !chunk.PutInt32(IsBypassed() ? 1 : 0)) return kResultFalse;
  }
  const bool written = WriteAll(state, chunk.GetBytes(), chunk.Size());
  SendPendingHostNotifications();
  return written ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3::setState(IBStream* state)
{
  if (!state) return kResultFalse;
  int32 expected = 0;
  {
    CriticalSectionLock lock(GetLock());
    ByteChunk current;
    SaveStateChunk(current);
    expected = current.Size();
  }
  ByteChunk chunk;
  if (expected <= 0 || !chunk.Resize(expected)) return kResultFalse;
  // Streamed outside the lock, then applied in one short locked step. A
  // stream that does not cover every parameter changes nothing.
  if (ReadUpTo(state, chunk.GetBytes(), expected) != expected) return kResultFalse;
  unsigned char word[4] = {};
  const bool haveBypass = ReadUpTo(state, word, 4) == 4;
  {
    CriticalSectionLock lock(GetLock());
    if (LoadStateChunk(chunk, 0) < 0) return kResultFalse;
    if (haveBypass)
    {
      int32_t bypass = 0;
      ReadInt32At(word, 4, 0, &bypass);
      SetBypassState(bypass != 0);
    }
    RefreshParamControls();
  }
  SendPendingHostNotifications();
  return haveBypass ? kResultOk : kResultFalse;
}
