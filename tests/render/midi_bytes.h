#pragma once

// Builds standard MIDI file bytes for the tests, chunk by chunk, so every
// byte a test feeds the parser is visible in the test.

#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& out, std::initializer_list<uint8_t> bytes)
{
  out.insert(out.end(), bytes.begin(), bytes.end());
}

inline void AppendBigEndian(Bytes& out, uint32_t value, int bytes)
{
  for (int i = bytes - 1; i >= 0; --i)
    out.push_back(uint8_t(value >> (8 * i)));
}

inline void AppendVariableLength(Bytes& out, uint32_t value)
{
  Bytes reversed{uint8_t(value & 0x7F)};
  while (value >>= 7)
    reversed.push_back(uint8_t(0x80 | (value & 0x7F)));
  out.insert(out.end(), reversed.rbegin(), reversed.rend());
}

inline Bytes HeaderChunk(uint16_t format, uint16_t tracks, uint16_t division)
{
  Bytes out{'M', 'T', 'h', 'd'};
  AppendBigEndian(out, 6, 4);
  AppendBigEndian(out, format, 2);
  AppendBigEndian(out, tracks, 2);
  AppendBigEndian(out, division, 2);
  return out;
}

inline Bytes Chunk(const char* type, const Bytes& body)
{
  Bytes out(type, type + 4);
  AppendBigEndian(out, uint32_t(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline Bytes Track(const Bytes& events)
{
  return Chunk("MTrk", events);
}

// Event bodies; each starts with its delta time.
inline Bytes Event(uint32_t delta, std::initializer_list<uint8_t> bytes)
{
  Bytes out;
  AppendVariableLength(out, delta);
  Append(out, bytes);
  return out;
}

inline Bytes Tempo(uint32_t delta, uint32_t microsecondsPerQuarter)
{
  Bytes out = Event(delta, {0xFF, 0x51, 0x03});
  AppendBigEndian(out, microsecondsPerQuarter, 3);
  return out;
}

inline Bytes EndOfTrack(uint32_t delta = 0)
{
  return Event(delta, {0xFF, 0x2F, 0x00});
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
  Bytes out;
  for (const Bytes& part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}
