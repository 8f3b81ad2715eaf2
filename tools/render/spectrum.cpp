#include "spectrum.h"

#include <cmath>
#include <utility>

bool FourierTransform(std::vector<std::complex<double>>& values)
{
  const std::size_t n = values.size();
  if (n == 0 || (n & (n - 1)) != 0) return false;
  for (std::size_t i = 1, j = 0; i < n; ++i)
  {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1)
      j ^= bit;
    j ^= bit;
    if (i < j) std::swap(values[i], values[j]);
  }
  const double pi = std::acos(-1.0);
  for (std::size_t length = 2; length <= n; length <<= 1)
  {
    const std::complex<double> step = std::polar(1.0, -2.0 * pi / double(length));
    for (std::size_t start = 0; start < n; start += length)
    {
      std::complex<double> twiddle(1.0, 0.0);
      for (std::size_t k = 0; k < length / 2; ++k)
      {
        const std::complex<double> even = values[start + k];
        const std::complex<double> odd = values[start + k + length / 2] * twiddle;
        values[start + k] = even + odd;
        values[start + k + length / 2] = even - odd;
        twiddle *= step;
      }
    }
  }
  return true;
}

std::vector<double> WindowedMagnitudes(const std::vector<double>& frame)
{
  const std::size_t n = frame.size();
  const double pi = std::acos(-1.0);
  std::vector<std::complex<double>> values(n);
  for (std::size_t i = 0; i < n; ++i)
    values[i] = frame[i] * (0.5 - 0.5 * std::cos(2.0 * pi * double(i) / double(n)));
  if (!FourierTransform(values)) return {};
  std::vector<double> magnitudes(n / 2 + 1);
  for (std::size_t k = 0; k <= n / 2; ++k)
    magnitudes[k] = std::abs(values[k]);
  return magnitudes;
}
