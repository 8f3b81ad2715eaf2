#include "utf8.h"

#include <gtest/gtest.h>

namespace
{
struct Decoded
{
  int used;
  unsigned short code;
};

Decoded DecodeFirst(const char* text, int available = -1)
{
  unsigned short code = 0;
  const int used = DecodeUtf8Char(text, available, code);
  return {used, code};
}
} // namespace

TEST(Utf8, AsciiAndStrayBytesStandForThemselves)
{
  EXPECT_EQ(DecodeFirst("A").used, 1);
  EXPECT_EQ(DecodeFirst("A").code, 'A');
  for (int byte = 0x80; byte <= 0xC1; ++byte)
  {
    const char text[] = {char(byte), char(0x80), 0};
    const Decoded d = DecodeFirst(text);
    EXPECT_EQ(d.used, 1) << byte;
    EXPECT_EQ(d.code, byte) << byte;
  }
  const char high[] = {char(0xF8), char(0x80), char(0x80), char(0x80), 0};
  EXPECT_EQ(DecodeFirst(high).code, 0xF8);
  const char beyondPlanes[] = {char(0xF5), char(0x80), char(0x80), char(0x80), 0};
  EXPECT_EQ(DecodeFirst(beyondPlanes).used, 1);
}

TEST(Utf8, TwoAndThreeByteSequences)
{
  const Decoded eAcute = DecodeFirst("\xC3\xA9");
  EXPECT_EQ(eAcute.used, 2);
  EXPECT_EQ(eAcute.code, 0xE9);
  const Decoded euro = DecodeFirst("\xE2\x82\xAC");
  EXPECT_EQ(euro.used, 3);
  EXPECT_EQ(euro.code, 0x20AC);
  const Decoded top = DecodeFirst("\xEF\xBF\xBF");
  EXPECT_EQ(top.code, 0xFFFF);
}

TEST(Utf8, FourByteSequencesBecomeASpace)
{
  const Decoded emoji = DecodeFirst("\xF0\x9F\x98\x80z");
  EXPECT_EQ(emoji.used, 4);
  EXPECT_EQ(emoji.code, ' ');
}

TEST(Utf8, BrokenSequencesFallBackToTheFirstByte)
{
  const Decoded overlong = DecodeFirst("\xC0\x80");
  EXPECT_EQ(overlong.used, 1);
  EXPECT_EQ(overlong.code, 0xC0);
  const Decoded missingContinuation = DecodeFirst("\xC3"
                                                  "A");
  EXPECT_EQ(missingContinuation.used, 1);
  EXPECT_EQ(missingContinuation.code, 0xC3);
  const Decoded endsAtNul = DecodeFirst("\xE2\x82");
  EXPECT_EQ(endsAtNul.used, 1);
  EXPECT_EQ(endsAtNul.code, 0xE2);
}

TEST(Utf8, ByteCountLimitsTheSequence)
{
  // The continuation bytes exist in memory but lie beyond the given length.
  const Decoded cutTwo = DecodeFirst("\xC3\xA9", 1);
  EXPECT_EQ(cutTwo.used, 1);
  EXPECT_EQ(cutTwo.code, 0xC3);
  const Decoded cutFour = DecodeFirst("\xF0\x9F\x98\x80", 3);
  EXPECT_EQ(cutFour.used, 1);
  EXPECT_EQ(cutFour.code, 0xF0);
  EXPECT_EQ(DecodeFirst("\xE2\x82\xAC", 3).used, 3);
}
