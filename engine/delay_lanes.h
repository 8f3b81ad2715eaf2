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

// The positions of two reads, `limited` samples back from `base` (size +
// read position of each line): their whole parts and fractions as
// DelayReadLimited computes them.
struct LanePositions
{
  int32_t whole0;
  int32_t whole1;
  __m128d fraction;
};

inline LanePositions PositionLanes(__m128d base, __m128d limited)
{
  const __m128d position = _mm_sub_pd(base, limited);
  const __m128i whole = _mm_cvttpd_epi32(position);
  return {_mm_cvtsi128_si32(whole),
          _mm_cvtsi128_si32(_mm_shuffle_epi32(whole, _MM_SHUFFLE(1, 1, 1, 1))),
          _mm_sub_pd(position, _mm_cvtepi32_pd(whole))};
}

inline __m128d InterpolateLanes(__m128d a, __m128d b, __m128d fraction)
{
  return _mm_add_pd(a, _mm_mul_pd(_mm_sub_pd(b, a), fraction));
}

// Reads lane 0 from `first` and lane 1 from `second` as DelayReadLimited
// does, `limited` samples back from the positions `base`.
inline __m128d ReadLanesAt(const double* first, int32_t firstMask, const double* second,
                           int32_t secondMask, __m128d base, __m128d limited)
{
  const LanePositions at = PositionLanes(base, limited);
  const __m128d a = _mm_set_pd(second[at.whole1 & secondMask], first[at.whole0 & firstMask]);
  const __m128d b =
      _mm_set_pd(second[(at.whole1 + 1) & secondMask], first[(at.whole0 + 1) & firstMask]);
  return InterpolateLanes(a, b, at.fraction);
}

// Two neighbouring samples' reads of one line, lane 0 at the read position
// and lane 1 one further (which must not wrap). Neighbouring reads usually
// sit side by side in the ring and load as pairs.
inline __m128d ReadNeighboursAt(const DelayLine& line, __m128d limited)
{
  const __m128d base =
      _mm_add_pd(_mm_set1_pd(static_cast<double>(line.size + line.readPos)), _mm_set_pd(1.0, 0.0));
  const LanePositions at = PositionLanes(base, limited);
  const int32_t slot = at.whole0 & line.mask;
  if (at.whole1 != at.whole0 + 1 || slot + 2 >= line.size)
    return ReadLanesAt(line.storage, line.mask, line.storage, line.mask, base, limited);
  return InterpolateLanes(_mm_loadu_pd(line.storage + slot), _mm_loadu_pd(line.storage + slot + 1),
                          at.fraction);
}

// DelayLimit for both lanes.
inline __m128d DelayLimitLanes(const DelayLine& first, const DelayLine& second, double delay0,
                               double delay1)
{
  return _mm_set_pd(DelayLimit(second, delay1), DelayLimit(first, delay0));
}
