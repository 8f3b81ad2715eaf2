#pragma once

// Decodes one character of UTF-8 text with the raster layer's lenient rules:
// bytes 0x80..0xC1 and broken sequences stand for themselves (read as
// Latin-1), four-byte sequences become a space. `available` is the number of
// bytes left, or negative for NUL-terminated text. Returns the bytes used
// (at least 1) and stores the character in `code`.
int DecodeUtf8Char(const char* text, int available, unsigned short& code);
