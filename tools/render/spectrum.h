#pragma once

#include <complex>
#include <vector>

// In-place radix-2 fast Fourier transform; the size must be a power of two
// (other sizes are left unchanged and false is returned).
bool FourierTransform(std::vector<std::complex<double>>& values);

// Magnitudes of bins 0 … n/2 of a real frame of power-of-two length n,
// after a Hann window.
std::vector<double> WindowedMagnitudes(const std::vector<double>& frame);
