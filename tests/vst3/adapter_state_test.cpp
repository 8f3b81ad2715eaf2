// IPlugVST3's state stream through the test effect: the state chunk (three
// little-endian doubles here) followed by the bypass flag as an int32.

#include "effect_fixture.h"
#include "memory_stream.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const int kChunkBytes = 3 * 8;

double DoubleAt(const std::vector<char>& bytes, size_t pos)
{
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i)
    bits = bits << 8 | static_cast<unsigned char>(bytes[pos + static_cast<size_t>(i)]);
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

void PutDouble(std::vector<char>& bytes, double value)
{
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  for (int i = 0; i < 8; ++i)
    bytes.push_back(static_cast<char>(bits >> (8 * i) & 0xFF));
}

// A stream that hands out at most a few bytes per read, as network or
// file-backed host streams may.
class TricklingStream : public MemoryStream
{
public:
  using MemoryStream::MemoryStream;
  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) SMTG_OVERRIDE
  {
    return MemoryStream::read(buffer, numBytes < 5 ? numBytes : 5, numBytesRead);
  }
};

class StateTest : public EffectTest
{
protected:
  void SetBypass()
  {
    Prepare(kSample32, 16);
    ProcessBlock block(kSample32, {2}, {2}, 16);
    block.Changes().Add(kBypass, 0, 1.0);
    ASSERT_EQ(processor->process(block.Data(16)), kResultOk);
    ASSERT_EQ(controller->getParamNormalized(kBypass), 1.0);
  }

  std::vector<char> SavedState()
  {
    IPtr<MemoryStream> stream = owned(new MemoryStream);
    EXPECT_EQ(component->getState(stream), kResultOk);
    return stream->Bytes();
  }

  tresult Restore(std::vector<char> bytes)
  {
    IPtr<MemoryStream> stream = owned(new MemoryStream(std::move(bytes)));
    return component->setState(stream);
  }
};

TEST_F(StateTest, StateIsTheChunkThenTheBypassWord)
{
  ASSERT_EQ(controller->setParamNormalized(0, 0.75), kResultOk);
  ASSERT_EQ(controller->setParamNormalized(2, 0.5), kResultOk);
  SetBypass();
  const std::vector<char> bytes = SavedState();
  ASSERT_EQ(bytes.size(), static_cast<size_t>(kChunkBytes + 4));
  EXPECT_EQ(DoubleAt(bytes, 0), 1.5);
  EXPECT_EQ(DoubleAt(bytes, 8), 0.0);
  EXPECT_EQ(DoubleAt(bytes, 16), 0.5);
  EXPECT_EQ(bytes[24], 1);
  EXPECT_EQ(bytes[25] | bytes[26] | bytes[27], 0);
}

TEST_F(StateTest, StateSavedInOneInstanceLoadsIntoAnother)
{
  ASSERT_EQ(controller->setParamNormalized(0, 0.2), kResultOk);
  ASSERT_EQ(controller->setParamNormalized(1, 1.0), kResultOk);
  SetBypass();
  const std::vector<char> bytes = SavedState();

  IPtr<IComponent> other = Create(false);
  ASSERT_TRUE(other);
  ASSERT_EQ(other->initialize(host->unknownCast()), kResultOk);
  auto otherController = Query<IEditController>(other);
  IPtr<MemoryStream> stream = owned(new MemoryStream(bytes));
  ASSERT_EQ(otherController->setState(stream), kResultOk);
  EXPECT_DOUBLE_EQ(otherController->getParamNormalized(0), 0.2);
  EXPECT_DOUBLE_EQ(otherController->getParamNormalized(1), 1.0);
  EXPECT_EQ(otherController->getParamNormalized(kBypass), 1.0);
  EXPECT_GT(Probes().paramChanges, 0) << "a restore announces every parameter";
  other->terminate();
}

TEST_F(StateTest, ChunkWithoutBypassWordRestoresParametersAndAnswersFalse)
{
  std::vector<char> bytes;
  PutDouble(bytes, 0.5);
  PutDouble(bytes, 2.0);
  PutDouble(bytes, 0.125);
  EXPECT_EQ(Restore(bytes), kResultFalse);
  EXPECT_EQ(Base()->GetParam(0)->Value(), 0.5);
  EXPECT_EQ(Base()->GetParam(1)->Value(), 2.0);
  EXPECT_EQ(Base()->GetParam(2)->Value(), 0.125);
  EXPECT_EQ(controller->getParamNormalized(kBypass), 0.0);
}

TEST_F(StateTest, ShortStreamChangesNothing)
{
  ASSERT_EQ(controller->setParamNormalized(2, 0.5), kResultOk);
  const double first = Base()->GetParam(0)->Value();
  const double second = Base()->GetParam(1)->Value();
  const int changes = Probes().paramChanges;
  std::vector<char> bytes;
  PutDouble(bytes, 1.75);
  bytes.push_back(1);
  bytes.push_back(2);
  EXPECT_EQ(Restore(bytes), kResultFalse);
  EXPECT_EQ(Base()->GetParam(0)->Value(), first);
  EXPECT_EQ(Base()->GetParam(1)->Value(), second);
  EXPECT_EQ(Base()->GetParam(2)->Value(), 0.5);
  EXPECT_EQ(Probes().paramChanges, changes) << "nothing announced";
}

TEST_F(StateTest, EmptyOrMissingStreamChangesNothing)
{
  ASSERT_EQ(controller->setParamNormalized(0, 0.3), kResultOk);
  const int changes = Probes().paramChanges;
  EXPECT_EQ(Restore({}), kResultFalse);
  EXPECT_EQ(component->setState(nullptr), kResultFalse);
  EXPECT_EQ(component->getState(nullptr), kResultFalse);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(0), 0.3);
  EXPECT_EQ(Probes().paramChanges, changes);
}

TEST_F(StateTest, ValuesOutsideTheRangesAreLimited)
{
  std::vector<char> bytes;
  PutDouble(bytes, 50.0);
  PutDouble(bytes, -3.0);
  PutDouble(bytes, 0.5);
  bytes.insert(bytes.end(), {0, 0, 0, 0});
  EXPECT_EQ(Restore(bytes), kResultOk);
  EXPECT_EQ(Base()->GetParam(0)->Value(), 2.0);
  EXPECT_EQ(Base()->GetParam(1)->Value(), 0.0);
}

TEST_F(StateTest, StreamsDeliveringInPiecesAndTrailingBytesAreRead)
{
  ASSERT_EQ(controller->setParamNormalized(0, 0.9), kResultOk);
  SetBypass();
  std::vector<char> bytes = SavedState();
  ASSERT_EQ(controller->setParamNormalized(0, 0.1), kResultOk);
  bytes.insert(bytes.end(), {9, 9, 9});
  ProcessSetup setup{kRealtime, kSample32, 16, 48000.0};
  ASSERT_EQ(processor->setupProcessing(setup), kResultOk); // clears the bypass
  IPtr<TricklingStream> stream = owned(new TricklingStream(bytes));
  EXPECT_EQ(component->setState(stream), kResultOk);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(0), 0.9);
  EXPECT_EQ(controller->getParamNormalized(kBypass), 1.0);
  EXPECT_EQ(stream->Position(), kChunkBytes + 4) << "the trailing bytes stay unread";
}

} // namespace
