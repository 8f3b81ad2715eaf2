#include "memory_stream.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

tresult PLUGIN_API MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
  if (numBytesRead) *numBytesRead = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  const int64 available = std::max<int64>(0, static_cast<int64>(mBytes.size()) - mPosition);
  const int32 count = static_cast<int32>(std::min<int64>(numBytes, available));
  if (count > 0) std::memcpy(buffer, mBytes.data() + mPosition, static_cast<size_t>(count));
  mPosition += count;
  if (numBytesRead) *numBytesRead = count;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
  if (numBytesWritten) *numBytesWritten = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  const size_t end = static_cast<size_t>(mPosition) + static_cast<size_t>(numBytes);
  if (end > mBytes.size()) mBytes.resize(end);
  if (numBytes > 0) std::memcpy(mBytes.data() + mPosition, buffer, static_cast<size_t>(numBytes));
  mPosition += numBytes;
  if (numBytesWritten) *numBytesWritten = numBytes;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek(int64 pos, int32 mode, int64* result)
{
  int64 base = 0;
  if (mode == kIBSeekCur)
    base = mPosition;
  else if (mode == kIBSeekEnd)
    base = static_cast<int64>(mBytes.size());
  else if (mode != kIBSeekSet)
    return kInvalidArgument;
  if (base + pos < 0) return kResultFalse;
  mPosition = base + pos;
  if (result) *result = mPosition;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* pos)
{
  if (!pos) return kInvalidArgument;
  *pos = mPosition;
  return kResultOk;
}
