#pragma once

#include "clap_abi.h"

#include <cstdint>
#include <vector>

// The streams a host hands to clap.state: they move at most chunk bytes per
// call (1 byte makes a plug-in loop the way the slowest hosts make it).
class ClapOStream
{
public:
  explicit ClapOStream(uint64_t chunk = UINT64_MAX);
  ClapOStream(const ClapOStream&) = delete;
  ClapOStream& operator=(const ClapOStream&) = delete;

  const std::vector<uint8_t>& Bytes() const { return mBytes; }
  const clap_ostream_t* Stream() const { return &mStream; }

private:
  static int64_t Write(const clap_ostream_t* stream, const void* buffer, uint64_t size);

  uint64_t mChunk;
  std::vector<uint8_t> mBytes;
  clap_ostream_t mStream;
};

class ClapIStream
{
public:
  explicit ClapIStream(std::vector<uint8_t> bytes, uint64_t chunk = UINT64_MAX);
  ClapIStream(const ClapIStream&) = delete;
  ClapIStream& operator=(const ClapIStream&) = delete;

  const clap_istream_t* Stream() const { return &mStream; }
  // Bytes not yet read.
  size_t Remaining() const { return mBytes.size() - mPosition; }

private:
  static int64_t Read(const clap_istream_t* stream, void* buffer, uint64_t size);

  std::vector<uint8_t> mBytes;
  uint64_t mChunk;
  size_t mPosition = 0;
  clap_istream_t mStream;
};
