#pragma once

#include <cstdint>

// VST2 reports versions in decimal, major * 10000 + minor * 100 + patch; the
// plug-in keeps them packed, major << 16 | minor << 8 | patch.
constexpr int32_t DecimalFromPackedVersion(int32_t packed)
{
  return ((packed >> 16) & 0xFFFF) * 10000 + ((packed >> 8) & 0xFF) * 100 + (packed & 0xFF);
}

// v + ((v mod 10000) div 100) * 156 + (v div 10000) * 55536 turns
// major * 10000 + minor * 100 + patch into major * 65536 + minor * 256 + patch.
// Worked in 64 bits so a nonsense version from a host cannot overflow; the
// result keeps the low 32 bits.
constexpr int32_t PackedFromDecimalVersion(int64_t decimal)
{
  return static_cast<int32_t>(
      static_cast<uint32_t>(decimal + ((decimal % 10000) / 100) * 156 + (decimal / 10000) * 55536));
}

static_assert(DecimalFromPackedVersion(0x00010002) == 10002, "1.0.2");
static_assert(PackedFromDecimalVersion(10203) == 0x00010203, "1.2.3");
