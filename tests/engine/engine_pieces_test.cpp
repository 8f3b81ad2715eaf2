// The small per-sample pieces against readings of their definitions.

#include "cosine_table.h"
#include "delay_lanes.h"
#include "delay_line.h"
#include "engine_test_support.h"
#include "kick_voice.h"
#include "numeric_guards.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace
{
TEST(NumericGuards, FlushDenormalCutsBelowTwoToTheMinus1021)
{
  const double edge = std::ldexp(1.0, -1021);
  EXPECT_EQ(FlushDenormal(edge), edge);
  EXPECT_EQ(FlushDenormal(-edge), -edge);
  EXPECT_EQ(FlushDenormal(std::nextafter(edge, 0.0)), 0.0);
  EXPECT_EQ(FlushDenormal(std::ldexp(1.0, -1022)), 0.0);
  EXPECT_EQ(FlushDenormal(-DBL_MIN), 0.0);
  EXPECT_EQ(FlushDenormal(std::numeric_limits<double>::denorm_min()), 0.0);
  EXPECT_TRUE(IsPositiveZero(FlushDenormal(-std::ldexp(1.0, -1030))));
  EXPECT_TRUE(SameBits(FlushDenormal(-0.0), -0.0)) << "zero passes as it is";
  EXPECT_EQ(FlushDenormal(0.5), 0.5);
  EXPECT_TRUE(std::isinf(FlushDenormal(std::numeric_limits<double>::infinity())));
}

// The two-lane flush against the scalar one on the edges of its range, each
// value in both lanes next to a neighbour that is flushed differently.
TEST(NumericGuards, FlushDenormalLanesMatchesTheScalarFlush)
{
  const double edge = std::ldexp(1.0, -1021);
  const double values[] = {0.0,
                           -0.0,
                           edge,
                           -edge,
                           std::nextafter(edge, 0.0),
                           -std::nextafter(edge, 0.0),
                           std::ldexp(1.0, -1022),
                           std::numeric_limits<double>::denorm_min(),
                           -std::numeric_limits<double>::denorm_min(),
                           std::ldexp(1.0, -1030) * 3,
                           0.5,
                           -1e300,
                           std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  for (double a : values)
    for (double b : values)
    {
      const __m128d flushed = FlushDenormalLanes(_mm_set_pd(b, a));
      double lanes[2];
      _mm_storeu_pd(lanes, flushed);
      EXPECT_TRUE(SameBits(lanes[0], FlushDenormal(a))) << a << " beside " << b;
      EXPECT_TRUE(SameBits(lanes[1], FlushDenormal(b))) << b << " beside " << a;
    }
}

TEST(NumericGuards, ZeroNonFiniteCutsFromTwoToThe1023)
{
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ZeroNonFinite(inf), 0.0);
  EXPECT_EQ(ZeroNonFinite(-inf), 0.0);
  EXPECT_EQ(ZeroNonFinite(std::nan("")), 0.0);
  EXPECT_EQ(ZeroNonFinite(DBL_MAX), 0.0);
  EXPECT_EQ(ZeroNonFinite(std::ldexp(1.0, 1023)), 0.0);
  const double below = std::nextafter(std::ldexp(1.0, 1023), 0.0);
  EXPECT_EQ(ZeroNonFinite(below), below);
  EXPECT_EQ(ZeroNonFinite(-below), -below);
  EXPECT_EQ(ZeroNonFinite(1e-310), 1e-310);
  EXPECT_EQ(ZeroNonFinite(-2.5), -2.5);
}

double DelayRead(const DelayLine& line, double delay)
{
  return DelayReadLimited(line, DelayLimit(line, delay));
}

class DelayLineTest : public testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_EQ(DelayLineAllocate(line, 10.0, HeapEngineMemory()), DelayAllocation::Ok);
  }
  void TearDown() override { DelayLineRelease(line, HeapEngineMemory()); }
  void Push(double value)
  {
    DelayWrite(line, value);
    DelayAdvance(line);
  }
  DelayLine line{};
};

TEST_F(DelayLineTest, SizeIsThePowerOfTwoAboveTheLength)
{
  EXPECT_EQ(line.size, 16);
  EXPECT_EQ(line.mask, 15);
  EXPECT_EQ(line.maxDelay, 10);
  for (double length : {0.0, 1.0, 2.0})
  {
    DelayLine small{};
    ASSERT_EQ(DelayLineAllocate(small, length, HeapEngineMemory()), DelayAllocation::Ok);
    EXPECT_EQ(small.size, 2) << length;
    DelayLineRelease(small, HeapEngineMemory());
  }
  DelayLine exact{};
  ASSERT_EQ(DelayLineAllocate(exact, 64.0, HeapEngineMemory()), DelayAllocation::Ok);
  EXPECT_EQ(exact.size, 64);
  DelayLineRelease(exact, HeapEngineMemory());
}

TEST_F(DelayLineTest, ReadsWholeAndFractionalDelays)
{
  for (int i = 1; i <= 20; ++i)
    Push(i);
  // Last written 20; one back is 20, two back 19.
  EXPECT_EQ(DelayRead(line, 1.0), 20.0);
  EXPECT_EQ(DelayRead(line, 2.0), 19.0);
  // A quarter of the way from two back to three back.
  EXPECT_EQ(DelayRead(line, 2.25), 18.75);
  // Below one sample the delay is raised to one.
  EXPECT_EQ(DelayRead(line, 0.0), 20.0);
  EXPECT_EQ(DelayRead(line, -4.0), 20.0);
  // Above the maximum it is exactly the maximum back.
  EXPECT_EQ(DelayRead(line, 10.0), 11.0);
  EXPECT_EQ(DelayRead(line, 13.6), 11.0);
  EXPECT_EQ(DelayRead(line, 1e300), 11.0);
}

TEST_F(DelayLineTest, BeforeTheFirstWriteTheCurrentSlotIsReadable)
{
  line.storage[0] = 3.0;
  EXPECT_EQ(DelayRead(line, 0.0), 3.0);
  Push(4.0);
  EXPECT_EQ(DelayRead(line, 0.0), 4.0) << "afterwards the shortest delay is one sample";
}

TEST_F(DelayLineTest, WritingZerosInBulkMatchesSampleBySample)
{
  DelayLine twin{};
  ASSERT_EQ(DelayLineAllocate(twin, 10.0, HeapEngineMemory()), DelayAllocation::Ok);
  for (int i = 0; i < 16; ++i)
    line.storage[i] = twin.storage[i] = i + 1.0;
  for (int frames : {3, 13, 1, 16, 40, 0, 7})
  {
    for (int i = 0; i < frames; ++i)
      Push(0.0);
    DelayLineWriteZeros(twin, frames, false);
    ASSERT_EQ(line.readPos, twin.readPos) << frames;
    ASSERT_EQ(line.writePos, twin.writePos) << frames;
    for (int i = 0; i < 16; ++i)
      ASSERT_EQ(line.storage[i], twin.storage[i]) << frames << " slot " << i;
  }
  DelayLineRelease(twin, HeapEngineMemory());
}

// Table and lookup read from their definitions.
double ReferenceCosine(double phase)
{
  const long long fixedPoint =
      static_cast<long long>(std::trunc(phase * 4294967296.0)) & 0xFFFFFFFFLL;
  const long long index = fixedPoint / 262144;
  const double fraction = static_cast<double>(fixedPoint % 262144) / 262143.0;
  const double left = std::cos(index * 3.141592653589793 * 2 / 16384);
  const double right = std::cos(((index + 1) % 16384) * 3.141592653589793 * 2 / 16384);
  return left + (right - left) * fraction;
}

TEST(CosineLookup, InterpolatesTheTableWithTheNarrowFraction)
{
  auto owned = std::make_unique<CosineTable>();
  FillCosineTable(*owned);
  const CosineTable& table = *owned;
  EXPECT_EQ(table.entry[0], 1.0);
  // At run time, like the table: a folded constant may round differently
  // from the platform's cosine.
  volatile int quarter = 4096;
  EXPECT_EQ(table.entry[4096], std::cos(quarter * 3.141592653589793 * 2 / 16384));
  EXPECT_EQ(CosineLookup(table, 0.0), 1.0);
  EXPECT_EQ(CosineLookup(table, 1.0), 1.0) << "a phase of exactly 1 wraps to 0";
  // The last fraction of a segment is 262143/262143: exactly the next entry.
  const double lastOfSegment = 262143.0 / 4294967296.0;
  EXPECT_EQ(CosineLookup(table, lastOfSegment), table.entry[1]);
  std::mt19937 random(1234);
  std::uniform_real_distribution<double> phase(0.0, 1.0);
  for (int i = 0; i < 2000; ++i)
  {
    const double p = phase(random);
    ASSERT_NEAR(CosineLookup(table, p), ReferenceCosine(p), 1e-15) << p;
    ASSERT_NEAR(CosineLookup(table, p), std::cos(p * 2 * 3.141592653589793), 1e-6) << p;
  }
}

TEST(Quantize16, TruncatesTowardZeroOnTheSixteenBitGrid)
{
  EXPECT_EQ(Quantize16(0.99999), 32767.0 / 32768.0);
  EXPECT_EQ(Quantize16(-0.00001), 0.0);
  EXPECT_EQ(Quantize16(-0.99999), -32767.0 / 32768.0);
  EXPECT_EQ(Quantize16(1.0), 1.0);
  EXPECT_EQ(Quantize16(-1.0), -1.0);
  EXPECT_EQ(Quantize16(7.5), 1.0);
  EXPECT_EQ(Quantize16(-7.5), -1.0);
  EXPECT_EQ(Quantize16(3.0 / 32768.0 + 1e-9), 3.0 / 32768.0);
  EXPECT_EQ(Quantize16(-3.0 / 32768.0 - 1e-9), -3.0 / 32768.0);
  EXPECT_TRUE(IsPositiveZero(Quantize16(-1e-9))) << "the integer step drops the sign";
}

TEST(Phasor, WrapsIntoTheUnitInterval)
{
  double phase = 0.75;
  EXPECT_EQ(Phasor(phase, 500.0, 1.0 / 1000.0), 0.25);
  EXPECT_EQ(phase, 0.25);
  phase = 0.0;
  EXPECT_EQ(Phasor(phase, 0.0, 1.0 / 44100.0), 0.0);
  phase = std::ldexp(1.0, -1030);
  EXPECT_TRUE(IsPositiveZero(Phasor(phase, 0.0, 1.0))) << "a denormal phase restarts at 0";
  phase = 0.5;
  EXPECT_EQ(Phasor(phase, 3.25, 1.0), 0.75);
}
} // namespace
