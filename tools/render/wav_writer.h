#pragma once

// WAV files of our own making: the same writer on every platform, so the
// Windows build needs no sound-file library.

#include <string>
#include <vector>

enum class WavSampleFormat
{
  Float32, // IEEE float, samples as rendered (may exceed ±1)
  Pcm16,   // integers, clipped to ±1 and rounded to the nearest step
  Pcm24,
};

// The file's bytes: a RIFF/WAVE header, a "fmt " chunk (with a "fact" chunk
// for float data) and the interleaved samples. All channels must be equally
// long. Empty when there are no channels, the channels differ in length, or
// the data would not fit a WAV file's 32-bit sizes.
std::vector<char> EncodeWav(const std::vector<std::vector<double>>& channels, int sampleRate,
                            WavSampleFormat format);

// EncodeWav written to path; false with a sentence in *error otherwise.
bool WriteWavFile(const std::string& path, const std::vector<std::vector<double>>& channels,
                  int sampleRate, WavSampleFormat format, std::string* error);
