#pragma once

// Two independent delay lines, or two reads of one line, handled together
// in the two lanes of an SSE2 register. Every lane performs the scalar
// operations of delay_line.h and numeric_guards.h in the same order; SSE2
// double arithmetic rounds each operation as the scalar code does, so the
// results are the same bits.

#include "delay_line.h"

#include <emmintrin.h>

#include <cstdint>

// FlushDenormal on both lanes, on the bits (independent of the processor's
// denormal mode): magnitudes with an exponent field of 0 or 1 become +0,
// zeros keep their sign.
inline __m128d FlushDenormalLanes(__m128d x)
{
  const __m128i magnitude =
      _mm_and_si128(_mm_castpd_si128(x), _mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll));
  // The exponent field is 0 or 1 exactly when the high word is below
  // 0x00200000; the compare leaves its answer in the high words.
  const __m128i small = _mm_cmplt_epi32(magnitude, _mm_set1_epi64x(0x0020000000000000ll));
  const __m128i smallLane = _mm_shuffle_epi32(small, _MM_SHUFFLE(3, 3, 1, 1));
  const __m128i zeroWords = _mm_cmpeq_epi32(magnitude, _mm_setzero_si128());
  const __m128i zeroLane =
      _mm_and_si128(zeroWords, _mm_shuffle_epi32(zeroWords, _MM_SHUFFLE(2, 3, 0, 1)));
  const __m128i flush = _mm_andnot_si128(zeroLane, smallLane);
  return _mm_castsi128_pd(_mm_andnot_si128(flush, _mm_castpd_si128(x)));
}

// Reads lane 0 from `first` and lane 1 from `second` as DelayReadLimited
// does, `limited` samples back from the positions `base` (size + read
// position of each line).
inline __m128d ReadLanesAt(const double* first, int32_t firstMask, const double* second,
                           int32_t secondMask, __m128d base, __m128d limited)
{
  const __m128d position = _mm_sub_pd(base, limited);
  const __m128i whole = _mm_cvttpd_epi32(position);
  const __m128d fraction = _mm_sub_pd(position, _mm_cvtepi32_pd(whole));
  const int32_t whole0 = _mm_cvtsi128_si32(whole);
  const int32_t whole1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(whole, _MM_SHUFFLE(1, 1, 1, 1)));
  const __m128d a = _mm_set_pd(second[whole1 & secondMask], first[whole0 & firstMask]);
  const __m128d b = _mm_set_pd(second[(whole1 + 1) & secondMask], first[(whole0 + 1) & firstMask]);
  return _mm_add_pd(a, _mm_mul_pd(_mm_sub_pd(b, a), fraction));
}

// A read of lane 0 from `first` and of lane 1 from `second`, each `limited`
// samples back (DelayLimit).
inline __m128d DelayReadLanes(const DelayLine& first, const DelayLine& second, __m128d limited)
{
  const __m128d base = _mm_cvtepi32_pd(
      _mm_set_epi32(0, 0, second.size + second.readPos, first.size + first.readPos));
  return ReadLanesAt(first.storage, first.mask, second.storage, second.mask, base, limited);
}

// DelayLimit for both lanes.
inline __m128d DelayLimitLanes(const DelayLine& first, const DelayLine& second, double delay0,
                               double delay1)
{
  return _mm_set_pd(DelayLimit(second, delay1), DelayLimit(first, delay0));
}

// DelayWrite of lane 0 into `first` and lane 1 into `second`.
inline void DelayWriteLanes(DelayLine& first, DelayLine& second, __m128d values)
{
  DelayWrite(first, _mm_cvtsd_f64(values));
  DelayWrite(second, _mm_cvtsd_f64(_mm_unpackhi_pd(values, values)));
}
