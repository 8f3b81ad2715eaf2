#pragma once

#include <cstdint>

// Deterministic noise for surface textures: the same inputs always give the
// same images, so regenerating leaves unchanged files byte for byte.

// A value in [0, 1) for the lattice point (x, y) of the given stream.
float LatticeNoise(std::int32_t x, std::int32_t y, std::uint32_t stream);

// Smoothly interpolated lattice noise in [0, 1); one lattice cell per unit.
float ValueNoise(float x, float y, std::uint32_t stream);
