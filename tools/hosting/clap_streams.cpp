#include "clap_streams.h"

#include <algorithm>
#include <cstring>

ClapOStream::ClapOStream(uint64_t chunk)
    : mChunk(std::max<uint64_t>(chunk, 1)), mStream{this, &ClapOStream::Write}
{
}

int64_t ClapOStream::Write(const clap_ostream_t* stream, const void* buffer, uint64_t size)
{
  auto* self = static_cast<ClapOStream*>(stream->ctx);
  if (!buffer && size > 0) return -1;
  const uint64_t count = std::min(size, self->mChunk);
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  self->mBytes.insert(self->mBytes.end(), bytes, bytes + count);
  return static_cast<int64_t>(count);
}

ClapIStream::ClapIStream(std::vector<uint8_t> bytes, uint64_t chunk)
    : mBytes(std::move(bytes)),
      mChunk(std::max<uint64_t>(chunk, 1)), mStream{this, &ClapIStream::Read}
{
}

int64_t ClapIStream::Read(const clap_istream_t* stream, void* buffer, uint64_t size)
{
  auto* self = static_cast<ClapIStream*>(stream->ctx);
  if (!buffer && size > 0) return -1;
  const uint64_t count = std::min<uint64_t>({size, self->mChunk, self->Remaining()});
  if (count > 0) std::memcpy(buffer, self->mBytes.data() + self->mPosition, count);
  self->mPosition += count;
  return static_cast<int64_t>(count);
}
