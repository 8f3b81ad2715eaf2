#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace
{
TEST(EngineErrors, NullChannelPointerIsStickyUntilReset)
{
  EnginePtr engine = MakeEngine();
  StartNote(engine.get());
  double in[8] = {};
  double left[8];
  double right[8];
  double* inputs[2] = {in, in};
  double* outputs[2] = {left, nullptr};
  EXPECT_EQ(EnginePerform(engine.get(), inputs, outputs, 8), EngineErrorNullBuffer);
  EXPECT_EQ(EngineGetErrorCode(engine.get()), 101);

  for (double& v : left)
    v = 7.0;
  for (double& v : right)
    v = 7.0;
  outputs[1] = right;
  EXPECT_EQ(EnginePerform(engine.get(), inputs, outputs, 8), 101);
  for (int i = 0; i < 8; ++i)
    ASSERT_TRUE(left[i] == 7.0 && right[i] == 7.0) << i;

  EngineReset(engine.get(), 44100.0, 8);
  StartNote(engine.get());
  EXPECT_EQ(EnginePerform(engine.get(), inputs, outputs, 8), 0);
  EXPECT_NE(left[0], 7.0);
  EXPECT_GT(left[0], 0.0) << "a kick from silence starts at the cosine's peak";
}

TEST(EngineErrors, EveryNullPointerIsCaught)
{
  double buffer[4] = {};
  for (int missing = 0; missing < 6; ++missing)
  {
    EnginePtr engine = MakeEngine();
    double* inputs[2] = {missing == 0 ? nullptr : buffer, missing == 1 ? nullptr : buffer};
    double* outputs[2] = {missing == 2 ? nullptr : buffer, missing == 3 ? nullptr : buffer};
    double** inputArray = missing == 4 ? nullptr : inputs;
    double** outputArray = missing == 5 ? nullptr : outputs;
    EXPECT_EQ(EnginePerform(engine.get(), inputArray, outputArray, 4), 101) << missing;
  }
  EXPECT_EQ(EnginePerform(nullptr, nullptr, nullptr, 4), 101);
  EngineSetParam(nullptr, 0, 1.0);
  EngineReset(nullptr, 44100.0, 64);
  EngineDestroy(nullptr);
}

TEST(EngineErrors, EmptyAndNegativeBlocksWriteNothing)
{
  EnginePtr engine = MakeEngine();
  StartNote(engine.get());
  double in[2] = {};
  double left[2] = {5.0, 5.0};
  double right[2] = {5.0, 5.0};
  double* inputs[2] = {in, in};
  double* outputs[2] = {left, right};
  EXPECT_EQ(EnginePerform(engine.get(), inputs, outputs, 0), 0);
  EXPECT_EQ(EnginePerform(engine.get(), inputs, outputs, -3), 0);
  EXPECT_EQ(left[0], 5.0);
  EXPECT_EQ(right[1], 5.0);
  EXPECT_EQ(engine->bass.stage, EnvelopeStage::Idle) << "no sample was rendered";
}

TEST(EngineSampleRate, UnusableRatesAreRefusedAtCreation)
{
  const double inf = std::numeric_limits<double>::infinity();
  for (double rate : {0.0, -44100.0, inf, -inf, std::nan(""), 1e-300, 0.5})
    EXPECT_EQ(EngineCreate(rate), nullptr) << rate;
  EnginePtr lowest = MakeEngine(1.0);
  EXPECT_NE(lowest, nullptr);
}

TEST(EngineSampleRate, ResetWithUnusableRateKeepsTheRateAndClearsTheState)
{
  EnginePtr engine = MakeEngine(48000.0);
  StartNote(engine.get());
  EngineSetParam(engine.get(), EngineParam::ReverbOffOn, 1.0);
  Render(engine.get(), 2000);
  ASSERT_NE(engine->bass.stage, EnvelopeStage::Idle);
  for (double rate : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()})
  {
    EngineReset(engine.get(), rate, 128);
    EXPECT_EQ(EngineGetSampleRate(engine.get()), 48000.0);
    EXPECT_EQ(engine->bass.stage, EnvelopeStage::Idle);
    EXPECT_EQ(engine->bass.level, 0.0);
    EXPECT_EQ(engine->reverb.lines[kFeedback1].readPos, 0);
    EXPECT_EQ(EngineGetParam(engine.get(), EngineParam::Voice00_NoteGate), 0.0);
  }
  EXPECT_EQ(engine->invSampleRate, 1 / 48000.0);
  const StereoBuffer silent = Render(engine.get(), 256);
  EXPECT_EQ(PeakOf(silent.left), 0.0);
  EXPECT_EQ(PeakOf(silent.right), 0.0);
}

TEST(EngineDelayLines, SizedOnceAtTheCreationRate)
{
  EnginePtr engine = MakeEngine(44100.0);
  const ReverbState& reverb = engine->reverb;
  for (int i = kFeedback1; i <= kTapLine; ++i)
  {
    EXPECT_EQ(reverb.lines[i].size, 65536) << i;
    EXPECT_EQ(reverb.lines[i].mask, 65535) << i;
    EXPECT_EQ(reverb.lines[i].maxDelay, 44100) << i;
  }
  EXPECT_EQ(reverb.lines[kDiffuser].maxDelay, 5512);
  EXPECT_EQ(reverb.lines[kDiffuser].size, 8192);
  EXPECT_EQ(reverb.lines[kLeftAllpass2].maxDelay, 22050);
  EXPECT_EQ(reverb.lines[kLeftAllpass2].size, 32768);
  EXPECT_EQ(reverb.lines[kRightAllpass1].maxDelay, 11025);
  EXPECT_EQ(reverb.lines[kRightAllpass1].size, 16384);

  double* storage = reverb.lines[kFeedback1].storage;
  EngineReset(engine.get(), 96000.0, 512);
  EXPECT_EQ(reverb.lines[kFeedback1].storage, storage) << "a reset never reallocates";
  for (int i = kFeedback1; i <= kTapLine; ++i)
  {
    EXPECT_EQ(reverb.lines[i].size, 65536) << i;
    EXPECT_EQ(reverb.lines[i].maxDelay, 44100) << i;
  }
  // The reverb still runs at the higher rate, its reads limited to the lines.
  StartNote(engine.get());
  EngineSetParam(engine.get(), EngineParam::ReverbOffOn, 1.0);
  const StereoBuffer out = Render(engine.get(), 96000 / 2);
  EXPECT_GT(PeakOf(out.left), 0.1);
  EXPECT_LE(PeakOf(out.left), 1.2);
}

TEST(EngineDelayLines, TinyRatesStillGetRingsOfTwo)
{
  EnginePtr engine = MakeEngine(3.0);
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(engine->reverb.lines[kDiffuser].size, 2);
  EXPECT_EQ(engine->reverb.lines[kDiffuser].maxDelay, 0);
  EXPECT_EQ(engine->reverb.lines[kFeedback1].size, 4);
  EXPECT_EQ(engine->reverb.lines[kFeedback1].maxDelay, 3);
  StartNote(engine.get());
  EngineSetParam(engine.get(), EngineParam::ReverbOffOn, 1.0);
  const StereoBuffer out = Render(engine.get(), 64);
  for (double v : out.left)
    ASSERT_TRUE(std::isfinite(v) && std::fabs(v) <= 1.2);
}

TEST(EngineInputs, InputContentsHaveNoInfluence)
{
  EnginePtr quiet = MakeEngine();
  EnginePtr noisy = MakeEngine();
  for (KickEngine* engine : {quiet.get(), noisy.get()})
  {
    StartNote(engine);
    EngineSetParam(engine, EngineParam::ReverbOffOn, 1.0);
    EngineSetParam(engine, EngineParam::TransistorDistLoad, 0.5);
  }
  std::vector<double> zeros(256, 0.0);
  std::vector<double> junk(256);
  for (size_t i = 0; i < junk.size(); ++i)
    junk[i] = i % 3 == 0 ? std::nan("") : 1e300 * static_cast<double>(i);
  std::vector<double> a(256);
  std::vector<double> b(256);
  std::vector<double> c(256);
  std::vector<double> d(256);
  double* quietIn[2] = {zeros.data(), zeros.data()};
  double* noisyIn[2] = {junk.data(), junk.data()};
  double* quietOut[2] = {a.data(), b.data()};
  double* noisyOut[2] = {c.data(), d.data()};
  for (int block = 0; block < 8; ++block)
  {
    ASSERT_EQ(EnginePerform(quiet.get(), quietIn, quietOut, 256), 0);
    ASSERT_EQ(EnginePerform(noisy.get(), noisyIn, noisyOut, 256), 0);
    ASSERT_EQ(a, c);
    ASSERT_EQ(b, d);
  }
}

// Counts allocations and fails the one numbered `failAt` (1-based).
struct FailingMemory
{
  static int calls;
  static int failAt;
  static int live;
  static void* Allocate(std::size_t count, std::size_t each)
  {
    if (++calls == failAt) return nullptr;
    ++live;
    return std::calloc(count, each);
  }
  static void Release(void* block)
  {
    if (block != nullptr) --live;
    std::free(block);
  }
};
int FailingMemory::calls = 0;
int FailingMemory::failAt = 0;
int FailingMemory::live = 0;

std::string CreateFailingAt(int failAt, KickEngine** created, double rate = 44100.0)
{
  FailingMemory::calls = 0;
  FailingMemory::failAt = failAt;
  FailingMemory::live = 0;
  const EngineMemory memory = {&FailingMemory::Allocate, &FailingMemory::Release};
  testing::internal::CaptureStderr();
  *created = EngineCreateWithMemory(rate, memory);
  return testing::internal::GetCapturedStderr();
}

TEST(EngineMemoryFailures, EachFailureIsReportedAndLeavesNothingBehind)
{
  KickEngine* engine = nullptr;
  // The object itself, then the cosine table, then the twelve lines.
  EXPECT_EQ(CreateFailingAt(1, &engine), "");
  EXPECT_EQ(engine, nullptr);
  EXPECT_EQ(CreateFailingAt(2, &engine), "out of memory\n");
  EXPECT_EQ(engine, nullptr);
  EXPECT_EQ(FailingMemory::live, 0);
  for (int failAt = 3; failAt <= 14; ++failAt)
  {
    EXPECT_EQ(CreateFailingAt(failAt, &engine), "allocating [data]: out of memory\n") << failAt;
    EXPECT_EQ(engine, nullptr);
    EXPECT_EQ(FailingMemory::live, 0) << failAt;
  }
  EXPECT_EQ(CreateFailingAt(15, &engine), "");
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(FailingMemory::calls, 14);
  EngineDestroy(engine);
  EXPECT_EQ(FailingMemory::live, 0);
}

TEST(EngineMemoryFailures, LinesBeyondTheLargestRingAreASizeError)
{
  KickEngine* engine = nullptr;
  EXPECT_EQ(CreateFailingAt(0, &engine, 2e9), "delay memory size error\n");
  EXPECT_EQ(engine, nullptr);
  EXPECT_EQ(FailingMemory::live, 0);
}
} // namespace
