#pragma once

// The 8-byte header in front of the program and bank chunks this plug-in
// hands to VST2 hosts: int32 magic "tffp" in file order, then int32 version,
// both little-endian. Older saves may lack it.

#include <cstdint>

class ByteChunk;

constexpr int32_t kVst2ChunkMagic = 0x70666674; // bytes 't' 'f' 'f' 'p' in little-endian order
constexpr int32_t kVst2ChunkVersion = 0x00010000;
constexpr int kVst2ChunkHeaderSize = 8;

bool WriteVst2ChunkHeader(ByteChunk& chunk);

// Reads a header at pos. With the magic there, version is the next int32 and
// the answer is the position after the header (or -1 when the version is
// cut off). Without it, version is 0 and the answer is pos unchanged, so the
// data is read as a headerless chunk.
int ReadVst2ChunkHeader(const ByteChunk& chunk, int pos, int32_t& version);
