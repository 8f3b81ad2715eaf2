#pragma once

// Reads back the WAV files the renderer writes, field by field, for the
// tests: the format chunk as stored and the samples as numbers.

#include "utf8_file.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct WavContents
{
  uint32_t riffSize = 0;
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t byteRate = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint32_t factFrames = 0;
  bool hasFact = false;
  uint32_t dataBytes = 0;
  std::vector<std::vector<double>>
      samples; // per channel: floats as stored, integers as their codes
};

inline uint32_t ReadLittleEndian(const std::vector<char>& bytes, std::size_t at, int count)
{
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = (value << 8) | uint8_t(bytes[at + std::size_t(i)]);
  return value;
}

// False when the bytes are not a WAV file this reader understands.
inline bool DecodeWav(const std::vector<char>& bytes, WavContents* wav)
{
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return false;
  wav->riffSize = ReadLittleEndian(bytes, 4, 4);
  std::size_t at = 12;
  while (at + 8 <= bytes.size())
  {
    const std::string tag(bytes.data() + at, 4);
    const uint32_t size = ReadLittleEndian(bytes, at + 4, 4);
    const std::size_t body = at + 8;
    if (body + size > bytes.size()) return false;
    if (tag == "fmt ")
    {
      wav->formatTag = uint16_t(ReadLittleEndian(bytes, body, 2));
      wav->channels = uint16_t(ReadLittleEndian(bytes, body + 2, 2));
      wav->sampleRate = ReadLittleEndian(bytes, body + 4, 4);
      wav->byteRate = ReadLittleEndian(bytes, body + 8, 4);
      wav->blockAlign = uint16_t(ReadLittleEndian(bytes, body + 12, 2));
      wav->bitsPerSample = uint16_t(ReadLittleEndian(bytes, body + 14, 2));
    }
    else if (tag == "fact")
    {
      wav->hasFact = true;
      wav->factFrames = ReadLittleEndian(bytes, body, 4);
    }
    else if (tag == "data")
    {
      if (wav->channels == 0 || wav->bitsPerSample == 0) return false;
      wav->dataBytes = size;
      const int sampleBytes = wav->bitsPerSample / 8;
      const std::size_t frames = size / (std::size_t(sampleBytes) * wav->channels);
      wav->samples.assign(wav->channels, std::vector<double>(frames));
      for (std::size_t f = 0; f < frames; ++f)
        for (std::size_t c = 0; c < wav->channels; ++c)
        {
          const std::size_t offset = body + (f * wav->channels + c) * std::size_t(sampleBytes);
          const uint32_t raw = ReadLittleEndian(bytes, offset, sampleBytes);
          if (wav->formatTag == 3)
          {
            float value = 0.0f;
            std::memcpy(&value, &raw, sizeof(value));
            wav->samples[c][f] = value;
          }
          else
          {
            // Sign-extend the integer of sampleBytes bytes.
            const int shift = 32 - 8 * sampleBytes;
            wav->samples[c][f] = double(int32_t(raw << shift) >> shift);
          }
        }
    }
    at = body + size + (size & 1);
  }
  return !wav->samples.empty();
}

// The whole file at a UTF-8 path; empty when it cannot be read.
inline std::vector<char> ReadFileUtf8(const std::string& path)
{
  std::vector<char> bytes;
  UniqueFile file(OpenFileUtf8(path, "rb"));
  char buffer[65536];
  std::size_t count = 0;
  while (file && (count = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0)
    bytes.insert(bytes.end(), buffer, buffer + count);
  return bytes;
}

inline bool ReadWavFile(const std::string& path, WavContents* wav)
{
  return DecodeWav(ReadFileUtf8(path), wav);
}
