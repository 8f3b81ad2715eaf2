#pragma once

#include "pluginterfaces/vst/vsttypes.h"

// The VST 3 interface carries 128-unit UTF-16 strings; the plugin base keeps
// 8-bit text. Both conversions stop at the terminator or the buffer's end
// and always terminate what they write.

// Each byte becomes one unit (Latin-1 widening).
void WidenToString128(const char* text, Steinberg::Vst::String128 out);

// Keeps the low byte of each unit; out holds outSize bytes.
void NarrowFromString128(const Steinberg::Vst::TChar* text, char* out, int outSize);
