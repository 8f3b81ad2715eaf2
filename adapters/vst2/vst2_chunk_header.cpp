#include "vst2_chunk_header.h"

#include "byte_chunk.h"

bool WriteVst2ChunkHeader(ByteChunk& chunk)
{
  return chunk.PutInt32(kVst2ChunkMagic) && chunk.PutInt32(kVst2ChunkVersion);
}

int ReadVst2ChunkHeader(const ByteChunk& chunk, int pos, int32_t& version)
{
  version = 0;
  int32_t magic = 0;
  const int afterMagic = chunk.GetInt32(&magic, pos);
  if (afterMagic < 0 || magic != kVst2ChunkMagic) return pos;
  return chunk.GetInt32(&version, afterMagic);
}
