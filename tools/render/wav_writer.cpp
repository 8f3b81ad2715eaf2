#include "wav_writer.h"

#include "single_output.h"
#include "utf8_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatIeeeFloat = 3;

void PutLittleEndian(std::vector<char>& out, uint32_t value, int bytes)
{
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutTag(std::vector<char>& out, const char* tag)
{
  out.insert(out.end(), tag, tag + 4);
}

int BytesPerSample(WavSampleFormat format)
{
  switch (format)
  {
  case WavSampleFormat::Pcm16:
    return 2;
  case WavSampleFormat::Pcm24:
    return 3;
  case WavSampleFormat::Float32:
    break;
  }
  return 4;
}

// A sample as a signed integer of the given width: clipped to ±1, scaled so
// that +1 reaches the largest positive code, rounded to nearest.
int32_t ToInteger(double sample, int bits)
{
  const double largest = double((int64_t(1) << (bits - 1)) - 1);
  if (std::isnan(sample)) return 0;
  const double clipped = std::max(-1.0, std::min(1.0, sample));
  return static_cast<int32_t>(std::lround(clipped * largest));
}

void PutSample(std::vector<char>& out, double sample, WavSampleFormat format)
{
  switch (format)
  {
  case WavSampleFormat::Float32:
  {
    const float value = ToSingleOutput(sample);
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    PutLittleEndian(out, bits, 4);
    return;
  }
  case WavSampleFormat::Pcm16:
    PutLittleEndian(out, static_cast<uint32_t>(ToInteger(sample, 16)), 2);
    return;
  case WavSampleFormat::Pcm24:
    PutLittleEndian(out, static_cast<uint32_t>(ToInteger(sample, 24)), 3);
    return;
  }
}

} // namespace

std::vector<char> EncodeWav(const std::vector<std::vector<double>>& channels, int sampleRate,
                            WavSampleFormat format)
{
  if (channels.empty() || channels.size() > 0xFFFF || sampleRate <= 0) return {};
  const std::size_t frames = channels[0].size();
  for (const auto& channel : channels)
    if (channel.size() != frames) return {};

  const bool isFloat = format == WavSampleFormat::Float32;
  const uint32_t channelCount = static_cast<uint32_t>(channels.size());
  const uint32_t sampleBytes = static_cast<uint32_t>(BytesPerSample(format));
  const uint32_t blockAlign = channelCount * sampleBytes;
  const uint64_t dataBytes = uint64_t(frames) * blockAlign;
  // Float data carries the extension size field and a "fact" chunk.
  const uint32_t fmtBytes = isFloat ? 18 : 16;
  const uint32_t factChunkBytes = isFloat ? 12 : 0;
  const uint64_t riffBytes = 4 + (8 + fmtBytes) + factChunkBytes + 8 + dataBytes + (dataBytes & 1);
  if (riffBytes > 0xFFFFFFFFull) return {};

  std::vector<char> out;
  out.reserve(static_cast<std::size_t>(riffBytes + 8));
  PutTag(out, "RIFF");
  PutLittleEndian(out, static_cast<uint32_t>(riffBytes), 4);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutLittleEndian(out, fmtBytes, 4);
  PutLittleEndian(out, isFloat ? kFormatIeeeFloat : kFormatPcm, 2);
  PutLittleEndian(out, channelCount, 2);
  PutLittleEndian(out, static_cast<uint32_t>(sampleRate), 4);
  PutLittleEndian(out, static_cast<uint32_t>(sampleRate) * blockAlign, 4);
  PutLittleEndian(out, blockAlign, 2);
  PutLittleEndian(out, sampleBytes * 8, 2);
  if (isFloat)
  {
    PutLittleEndian(out, 0, 2);
    PutTag(out, "fact");
    PutLittleEndian(out, 4, 4);
    PutLittleEndian(out, static_cast<uint32_t>(frames), 4);
  }
  PutTag(out, "data");
  PutLittleEndian(out, static_cast<uint32_t>(dataBytes), 4);
  for (std::size_t frame = 0; frame < frames; ++frame)
    for (const auto& channel : channels)
      PutSample(out, channel[frame], format);
  if (dataBytes & 1) out.push_back(0); // chunks are padded to an even size
  return out;
}

bool WriteWavFile(const std::string& path, const std::vector<std::vector<double>>& channels,
                  int sampleRate, WavSampleFormat format, std::string* error)
{
  const std::vector<char> bytes = EncodeWav(channels, sampleRate, format);
  if (bytes.empty())
  {
    *error = "the sound cannot be stored as a WAV file (too long or no channels)";
    return false;
  }
  UniqueFile file(OpenFileUtf8(path, "wb"));
  const bool written =
      file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  if (!written || std::fclose(file.release()) != 0)
  {
    *error = "cannot write the WAV file " + path;
    return false;
  }
  return true;
}
