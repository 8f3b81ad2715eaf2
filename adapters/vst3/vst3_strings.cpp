#include "vst3_strings.h"

void WidenToString128(const char* text, Steinberg::Vst::String128 out)
{
  int i = 0;
  for (; text && text[i] && i < 127; ++i)
    out[i] = static_cast<Steinberg::Vst::TChar>(static_cast<unsigned char>(text[i]));
  out[i] = 0;
}

void NarrowFromString128(const Steinberg::Vst::TChar* text, char* out, int outSize)
{
  if (outSize <= 0) return;
  int i = 0;
  for (; text && i < 128 && text[i] && i < outSize - 1; ++i)
    out[i] = static_cast<char>(text[i] & 0xFF);
  out[i] = '\0';
}
