// The state hosts save beside the port values: the VST 3 state's blob (the
// state chunk, then the bypass flag as a little-endian int32) as one
// atom:Chunk. Every number in it is written little-endian, so it moves
// between machines unchanged.

#include "iplug_lv2.h"

#include <lv2/atom/atom.h>

#include <cstring>

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle)
{
  if (!store || !mMap) return LV2_STATE_ERR_UNKNOWN;
  ByteChunk chunk;
  {
    CriticalSectionLock lock(GetLock());
    if (!SaveStateChunk(chunk) || !chunk.PutInt32(IsBypassed() ? 1 : 0))
      return LV2_STATE_ERR_UNKNOWN;
  }
  return store(handle, mUrids.stateKey, chunk.GetBytes(), static_cast<size_t>(chunk.Size()),
               mUrids.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve,
                                        LV2_State_Handle handle)
{
  if (!retrieve || !mMap) return LV2_STATE_ERR_UNKNOWN;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* value = retrieve(handle, mUrids.stateKey, &size, &type, &flags);
  if (!value) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mUrids.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
  ByteChunk current;
  {
    CriticalSectionLock lock(GetLock());
    SaveStateChunk(current);
  }
  // The chunk covers every parameter and the bypass word follows: a blob of
  // any other size is not this plug-in's.
  ByteChunk chunk;
  if (size != static_cast<size_t>(current.Size()) + sizeof(int32_t) ||
      !chunk.Resize(static_cast<int>(size)))
    return LV2_STATE_ERR_UNKNOWN;
  std::memcpy(chunk.GetBytes(), value, size);
  {
    CriticalSectionLock lock(GetLock());
    const int bypassPos = LoadStateChunk(chunk, 0);
    if (bypassPos < 0) return LV2_STATE_ERR_UNKNOWN;
    int32_t bypass = 0;
    chunk.GetInt32(&bypass, bypassPos);
    SetBypassed(bypass != 0);
    mAdoptPortValues = true;
    RefreshParamControls();
  }
  SendPendingHostNotifications();
  return LV2_STATE_SUCCESS;
}
