#include "byte_chunk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace
{
// Appends the little-endian bytes of a 32-bit length, written out by hand.
void PutRawLength(ByteChunk& chunk, uint32_t length)
{
  const unsigned char bytes[4] = {static_cast<unsigned char>(length & 0xFF),
                                  static_cast<unsigned char>((length >> 8) & 0xFF),
                                  static_cast<unsigned char>((length >> 16) & 0xFF),
                                  static_cast<unsigned char>((length >> 24) & 0xFF)};
  chunk.Put(bytes, 4);
}
} // namespace

TEST(ByteChunkTest, NumbersAreStoredLittleEndian)
{
  ByteChunk chunk;
  ASSERT_TRUE(chunk.PutInt32(0x01020304));
  ASSERT_TRUE(chunk.PutDouble(1.0)); // 0x3FF0000000000000
  ASSERT_EQ(12, chunk.Size());
  const unsigned char expected[12] = {0x04, 0x03, 0x02, 0x01, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  EXPECT_EQ(0, std::memcmp(expected, chunk.GetBytes(), sizeof expected));
}

TEST(ByteChunkTest, ReadsAnswerTheNextPosition)
{
  ByteChunk chunk;
  chunk.PutInt32(-7);
  chunk.PutDouble(-0.125);
  chunk.PutByte(9);
  int32_t i = 0;
  double d = 0.0;
  unsigned char b = 0;
  EXPECT_EQ(4, chunk.GetInt32(&i, 0));
  EXPECT_EQ(12, chunk.GetDouble(&d, 4));
  EXPECT_EQ(13, chunk.GetByte(&b, 12));
  EXPECT_EQ(-7, i);
  EXPECT_EQ(-0.125, d);
  EXPECT_EQ(9, b);
}

TEST(ByteChunkTest, ReadingPastTheEndFailsAndLeavesTheDestination)
{
  ByteChunk chunk;
  chunk.PutInt32(5);
  double d = 3.0;
  EXPECT_EQ(-1, chunk.GetDouble(&d, 0));
  EXPECT_EQ(3.0, d);
  int32_t i = 11;
  EXPECT_EQ(-1, chunk.GetInt32(&i, 1));
  EXPECT_EQ(-1, chunk.GetInt32(&i, 5));
  EXPECT_EQ(-1, chunk.GetInt32(&i, -1));
  EXPECT_EQ(-1, chunk.GetInt32(&i, 0x7FFFFFFF));
  EXPECT_EQ(11, i);
  EXPECT_EQ(4, chunk.GetInt32(&i, 0));
  char raw[4];
  EXPECT_EQ(-1, chunk.Get(raw, -1, 0));
  EXPECT_EQ(-1, chunk.Get(raw, 0x7FFFFFFF, 2));
  EXPECT_EQ(4, chunk.Get(raw, 0, 4)) << "an empty read at the end is fine";
}

TEST(ByteChunkTest, StringsAreLengthPrefixed)
{
  ByteChunk chunk;
  chunk.PutStr("Init");
  ASSERT_EQ(8, chunk.Size());
  int32_t length = 0;
  chunk.GetInt32(&length, 0);
  EXPECT_EQ(4, length);
  EXPECT_EQ(0, std::memcmp("Init", chunk.GetBytes() + 4, 4));
  char name[16];
  EXPECT_EQ(8, chunk.GetStr(name, sizeof name, 0));
  EXPECT_STREQ("Init", name);
}

TEST(ByteChunkTest, StringReadStopsAtNulAndCutsToTheDestination)
{
  ByteChunk chunk;
  PutRawLength(chunk, 6);
  chunk.Put("ab\0cde", 6);
  chunk.PutStr("abcdefgh");
  char name[5];
  EXPECT_EQ(10, chunk.GetStr(name, sizeof name, 0));
  EXPECT_STREQ("ab", name);
  EXPECT_EQ(22, chunk.GetStr(name, sizeof name, 10));
  EXPECT_STREQ("abcd", name);
}

TEST(ByteChunkTest, BadStringLengthsFailWithoutReading)
{
  for (uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 5u})
  {
    ByteChunk chunk;
    PutRawLength(chunk, length);
    chunk.Put("abcd", 4);
    char name[8] = "keep";
    EXPECT_EQ(-1, chunk.GetStr(name, sizeof name, 0)) << length;
    EXPECT_STREQ("keep", name);
  }
}

TEST(ByteChunkTest, ResizeAndClear)
{
  ByteChunk chunk;
  EXPECT_TRUE(chunk.Resize(3));
  EXPECT_EQ(3, chunk.Size());
  EXPECT_EQ(0, chunk.GetBytes()[2]);
  EXPECT_FALSE(chunk.Resize(-1));
  EXPECT_FALSE(chunk.Put("x", -1));
  EXPECT_FALSE(chunk.Put(nullptr, 2));
  EXPECT_EQ(3, chunk.Size());
  chunk.Clear();
  EXPECT_EQ(0, chunk.Size());
}
