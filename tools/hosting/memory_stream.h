#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/base/ibstream.h"

#include <vector>

// A growable in-memory IBStream, as hosts pass to getState and setState.
class MemoryStream : public Steinberg::FObject, public Steinberg::IBStream
{
public:
  MemoryStream() = default;
  // A stream that holds bytes, positioned at its start.
  explicit MemoryStream(std::vector<char> bytes) : mBytes(std::move(bytes)) {}

  const std::vector<char>& Bytes() const { return mBytes; }
  Steinberg::int64 Position() const { return mPosition; }
  void Rewind() { mPosition = 0; }

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                     Steinberg::int32* numBytesRead) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                     Steinberg::int64* result) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) SMTG_OVERRIDE;

  OBJ_METHODS(MemoryStream, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(IBStream)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  std::vector<char> mBytes;
  Steinberg::int64 mPosition = 0;
};
