#pragma once

#include "byte_chunk.h"

// Capacity of a preset name, terminator included.
constexpr int kPresetNameSize = 256;

// One preset slot of the plug-in: whether it holds a state, its name and the
// serialized state (the same format as the plug-in's state chunk).
struct IPlugPreset
{
  bool mInitialized = false;
  char mName[kPresetNameSize] = "empty";
  ByteChunk mChunk;
};
