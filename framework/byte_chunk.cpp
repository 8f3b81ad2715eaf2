#include "byte_chunk.h"

#include <cstring>
#include <limits>
#include <new>

int ReadBytesAt(const unsigned char* data, int size, int pos, void* dest, int count)
{
  if (!data || !dest || pos < 0 || count < 0 || size < 0 || pos > size || count > size - pos)
    return -1;
  std::memcpy(dest, data + pos, static_cast<size_t>(count));
  return pos + count;
}

// Assembles count little-endian bytes into an unsigned number.
static uint64_t FromLittleEndian(const unsigned char* bytes, int count)
{
  uint64_t bits = 0;
  for (int i = 0; i < count; ++i)
    bits |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  return bits;
}

int ReadInt32At(const unsigned char* data, int size, int pos, int32_t* value)
{
  unsigned char bytes[4];
  const int next = ReadBytesAt(data, size, pos, bytes, 4);
  if (next < 0 || !value) return -1;
  *value = static_cast<int32_t>(static_cast<uint32_t>(FromLittleEndian(bytes, 4)));
  return next;
}

int ReadDoubleAt(const unsigned char* data, int size, int pos, double* value)
{
  unsigned char bytes[8];
  const int next = ReadBytesAt(data, size, pos, bytes, 8);
  if (next < 0 || !value) return -1;
  const uint64_t bits = FromLittleEndian(bytes, 8);
  std::memcpy(value, &bits, sizeof bits);
  return next;
}

// Appends the count low bytes of bits, least significant first.
static bool PutLittleEndian(ByteChunk& chunk, uint64_t bits, int count)
{
  unsigned char bytes[8];
  for (int i = 0; i < count; ++i)
    bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
  return chunk.Put(bytes, count);
}

bool ByteChunk::Put(const void* data, int count)
{
  if (count < 0 || (count > 0 && !data) || count > std::numeric_limits<int>::max() - Size())
    return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  try
  {
    mBytes.insert(mBytes.end(), bytes, bytes + count);
  }
  catch (const std::bad_alloc&)
  {
    return false;
  }
  return true;
}

bool ByteChunk::PutInt32(int32_t value)
{
  return PutLittleEndian(*this, static_cast<uint32_t>(value), 4);
}

bool ByteChunk::PutDouble(double value)
{
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return PutLittleEndian(*this, bits, 8);
}

bool ByteChunk::PutByte(unsigned char value)
{
  return Put(&value, 1);
}

bool ByteChunk::PutStr(const char* text)
{
  const size_t length = text ? std::strlen(text) : 0;
  if (length > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  return PutInt32(static_cast<int32_t>(length)) && Put(text, static_cast<int>(length));
}

int ByteChunk::Get(void* dest, int count, int startPos) const
{
  return ReadBytesAt(mBytes.data(), Size(), startPos, dest, count);
}

int ByteChunk::GetInt32(int32_t* value, int startPos) const
{
  return ReadInt32At(mBytes.data(), Size(), startPos, value);
}

int ByteChunk::GetDouble(double* value, int startPos) const
{
  return ReadDoubleAt(mBytes.data(), Size(), startPos, value);
}

int ByteChunk::GetByte(unsigned char* value, int startPos) const
{
  return Get(value, 1, startPos);
}

int ByteChunk::GetStr(char* dest, int destSize, int startPos) const
{
  int32_t length = 0;
  const int textPos = GetInt32(&length, startPos);
  if (textPos < 0 || !dest || destSize <= 0 || length < 0 || length > Size() - textPos) return -1;
  const unsigned char* text = mBytes.data() + textPos;
  int kept = 0;
  while (kept < length && kept < destSize - 1 && text[kept] != 0)
  {
    dest[kept] = static_cast<char>(text[kept]);
    ++kept;
  }
  dest[kept] = '\0';
  return textPos + length;
}

bool ByteChunk::Resize(int size)
{
  if (size < 0) return false;
  try
  {
    mBytes.resize(static_cast<size_t>(size));
  }
  catch (const std::bad_alloc&)
  {
    return false;
  }
  return true;
}
