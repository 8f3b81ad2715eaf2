#include "utf8.h"

namespace
{
bool IsContinuation(const unsigned char* bytes, int index, int available)
{
  if (available >= 0 && index >= available) return false;
  return bytes[index] >= 0x80 && bytes[index] <= 0xBF;
}

bool Continues(const unsigned char* bytes, int count, int available)
{
  for (int i = 1; i <= count; ++i)
    if (!IsContinuation(bytes, i, available)) return false;
  return true;
}
} // namespace

int DecodeUtf8Char(const char* text, int available, unsigned short& code)
{
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const unsigned first = bytes[0];
  if (first >= 0xC2 && first <= 0xDF && Continues(bytes, 1, available))
  {
    code = static_cast<unsigned short>(((first & 0x1F) << 6) | (bytes[1] & 0x3F));
    return 2;
  }
  if (first >= 0xE0 && first <= 0xEF && Continues(bytes, 2, available))
  {
    code = static_cast<unsigned short>(((first & 0x0F) << 12) | ((bytes[1] & 0x3F) << 6) |
                                       (bytes[2] & 0x3F));
    return 3;
  }
  if (first >= 0xF0 && first <= 0xF4 && Continues(bytes, 3, available))
  {
    // Outside the 16-bit range the glyph cache serves.
    code = ' ';
    return 4;
  }
  code = static_cast<unsigned short>(first);
  return 1;
}
