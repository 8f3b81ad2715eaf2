#pragma once

// What every block a fuzzer renders must satisfy; anything else is a
// finding and stops the fuzzer with a crash it reports.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <type_traits>

template <typename Sample>
void CheckFuzzOutput(const Sample* samples, int frames)
{
  for (int k = 0; k < frames; ++k)
  {
    const Sample value = samples[k];
    const bool subnormal = std::is_same_v<Sample, float> && value != 0 &&
                           std::fabs(value) < std::numeric_limits<float>::min();
    if (!std::isfinite(value) || std::fabs(value) > Sample(1.2) || subnormal)
    {
      std::fprintf(stderr, "bad output sample %d: %g\n", k, double(value));
      std::abort();
    }
  }
}

// A little-endian reader over the fuzzer's bytes; past the end it reads 0.
class FuzzBytes
{
public:
  FuzzBytes(const unsigned char* data, std::size_t size) : mData(data), mSize(size) {}
  bool Empty() const { return mPos >= mSize; }
  std::size_t Remaining() const { return mPos < mSize ? mSize - mPos : 0; }
  const unsigned char* Position() const { return mData + mPos; }
  unsigned char Byte() { return mPos < mSize ? mData[mPos++] : 0; }
  template <typename T>
  T Take()
  {
    T value{};
    unsigned char* out = reinterpret_cast<unsigned char*>(&value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
      out[i] = Byte();
    return value;
  }

private:
  const unsigned char* mData;
  std::size_t mSize;
  std::size_t mPos = 0;
};
