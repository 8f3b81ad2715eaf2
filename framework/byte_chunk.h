#pragma once

#include <cstdint>
#include <vector>

// Reads count bytes at pos from data[0, size) into dest. Answers the position
// after them, or -1 (dest untouched) when pos or count is negative or the
// bytes are not all there. The bounds test cannot overflow.
int ReadBytesAt(const unsigned char* data, int size, int pos, void* dest, int count);
// Reads a little-endian int32 or double at pos in the same way.
int ReadInt32At(const unsigned char* data, int size, int pos, int32_t* value);
int ReadDoubleAt(const unsigned char* data, int size, int pos, double* value);

// A growable byte buffer: state chunks, preset chunks and preset banks.
// Numbers are stored little-endian whatever the machine, so stored state is
// portable between builds. Appending allocates (user-interface thread);
// reading does not.
class ByteChunk
{
public:
  // Appends raw bytes; false (and nothing appended) when count is negative,
  // the data is missing or memory runs out.
  bool Put(const void* data, int count);
  bool PutInt32(int32_t value);
  bool PutDouble(double value);
  bool PutByte(unsigned char value);
  // int32 length, then the bytes without a terminator.
  bool PutStr(const char* text);

  // Each answers the position after what it read, or -1 with the
  // destination untouched when the data runs out.
  int Get(void* dest, int count, int startPos) const;
  int GetInt32(int32_t* value, int startPos) const;
  int GetDouble(double* value, int startPos) const;
  int GetByte(unsigned char* value, int startPos) const;
  // Reads an int32 length and that many bytes into dest, up to the first NUL
  // and cut to destSize - 1 characters. A negative length or one that passes
  // the end answers -1 and leaves dest untouched.
  int GetStr(char* dest, int destSize, int startPos) const;

  int Size() const { return static_cast<int>(mBytes.size()); }
  const unsigned char* GetBytes() const { return mBytes.data(); }
  unsigned char* GetBytes() { return mBytes.data(); }
  void Clear() { mBytes.clear(); }
  // Sets the size, zero-filling new bytes (for callers that read a stream
  // straight into the buffer). False when size is negative or memory runs out.
  bool Resize(int size);

private:
  std::vector<unsigned char> mBytes;
};
