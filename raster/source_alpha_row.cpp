#include "source_alpha_row.h"

#include "pixel_blend.h"

#include <emmintrin.h>

namespace lice_blend
{
namespace
{
// Two pixels of `pixels` (the low or the high half) as 16-bit channels.
__m128i Widen(__m128i pixels, bool high)
{
  const __m128i zero = _mm_setzero_si128();
  return high ? _mm_unpackhi_epi8(pixels, zero) : _mm_unpacklo_epi8(pixels, zero);
}

// Colour channels s + (d - s) * (255 - a) / 256 with the division
// truncating toward zero, alpha channel a + da; the pack limits to 255.
// |d - s| * (255 - a) stays below 65536, so the product of the magnitudes
// fits 16 bits and its shift is the truncated quotient.
__m128i BlendTwo(__m128i d, __m128i s)
{
  const __m128i alpha =
      _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
  const __m128i difference = _mm_sub_epi16(d, s);
  const __m128i negative = _mm_cmpgt_epi16(_mm_setzero_si128(), difference);
  const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(difference, negative), negative);
  const __m128i quotient = _mm_srli_epi16(_mm_mullo_epi16(magnitude, keep), 8);
  const __m128i colour =
      _mm_add_epi16(s, _mm_sub_epi16(_mm_xor_si128(quotient, negative), negative));
  const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  return _mm_or_si128(_mm_andnot_si128(alphaLanes, colour),
                      _mm_and_si128(alphaLanes, _mm_add_epi16(s, d)));
}
} // namespace

void BlendSourceAlphaRow(LICE_pixel* dest, const LICE_pixel* src, int count)
{
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= count; i += 4)
  {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i alpha = _mm_srli_epi32(s, 24);
    const __m128i transparent = _mm_cmpeq_epi32(alpha, zero);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    const __m128i blended = _mm_packus_epi16(BlendTwo(Widen(d, false), Widen(s, false)),
                                             BlendTwo(Widen(d, true), Widen(s, true)));
    // Transparent source pixels leave the destination as it is.
    const __m128i result =
        _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, blended));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), result);
  }
  for (; i < count; ++i)
  {
    const LICE_pixel a = src[i] >> 24;
    if (a == 255)
      dest[i] = src[i];
    else if (a != 0)
      dest[i] = BlendPixelSourceAlpha(dest[i], src[i], 256, 0);
  }
}
} // namespace lice_blend
