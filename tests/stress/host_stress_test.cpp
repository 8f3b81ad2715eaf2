// Seeded random host behaviour through both built plug-ins and both sample
// sizes: automation with edge values, MIDI of every kind and channel, block
// sizes and sample rates changing mid-stream, bypass, and state saved and
// restored in the middle. The output must stay finite, within +-1.2 and,
// in single precision, free of subnormals; state must round-trip exactly.

#include "preset_sandbox.h"
#include "stress_sessions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <set>

#ifndef THUDWERK_STRESS_BLOCKS
#error "THUDWERK_STRESS_BLOCKS: blocks per stress run"
#endif

namespace
{
constexpr int kParams = 27;
constexpr int kFirstPresetAction = 9; // PresetBackward
constexpr int kNoteGateMirror = 20;   // Voice00_NoteGate
constexpr int kPresetSelector = 13;
constexpr int kReverbOffOn = 14;

std::unique_ptr<StressSession> OpenVst2(bool single)
{
  return OpenVst2Session(single);
}

std::unique_ptr<StressSession> OpenVst3(bool single)
{
  return OpenVst3Session(single);
}

struct StressCase
{
  const char* name;
  std::unique_ptr<StressSession> (*open)(bool);
  bool single;
};

class Dice
{
public:
  explicit Dice(unsigned seed) : mGen(seed) {}
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mGen); }
  double Unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(mGen); }
  bool Chance(int percent) { return Int(0, 99) < percent; }

  // Normalized values hosts send, faulty ones included.
  double AutomationValue(int param)
  {
    switch (Int(0, 9))
    {
    case 0:
      return 0.0;
    case 1:
      return 1.0;
    case 2:
      return std::numeric_limits<double>::quiet_NaN();
    case 3:
      return -1e-7;
    case 4:
      return 1.0 + 1e-7;
    case 5:
      return Chance(50) ? -3.0 : 7.5;
    case 6:
      // A preset of the catalogue (index 1 .. 46 of -1 .. 10000).
      if (param == kPresetSelector) return (Int(1, 46) + 1) / 10001.0;
      return Unit();
    default:
      return Unit();
    }
  }

  MidiBytes Midi(int frames, std::set<int>& heldNotes)
  {
    MidiBytes m{Chance(97) ? Int(0, frames - 1) : Int(-5, frames + 5), 0, 0, 0};
    const int channel = Chance(60) ? 0 : Int(0, 15);
    auto data = [this]
    { return static_cast<unsigned char>(Chance(95) ? Int(0, 127) : Int(0, 255)); };
    m.data1 = data();
    m.data2 = data();
    const int kind = Int(0, 9);
    if (kind <= 2)
    {
      m.status = static_cast<unsigned char>(0x90 | channel);
      if (channel == 0) heldNotes.insert(m.data1);
    }
    else if (kind == 3 && !heldNotes.empty())
    {
      // A running note ends, as a note-off or a note-on of velocity 0.
      m.data1 = static_cast<unsigned char>(*heldNotes.begin());
      heldNotes.erase(heldNotes.begin());
      m.status = Chance(50) ? 0x80 : 0x90;
      m.data2 = m.status == 0x90 ? 0 : data();
    }
    else if (kind == 4)
    {
      static constexpr unsigned char kControllers[] = {64, 123, 1, 7, 10, 71, 74, 91, 93};
      m.status = static_cast<unsigned char>(0xB0 | channel);
      m.data1 = kControllers[Int(0, 8)];
    }
    else
    {
      static constexpr unsigned char kKinds[] = {0x80, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0};
      m.status = static_cast<unsigned char>(kKinds[Int(0, 6)] | (kind == 9 ? Int(0, 15) : channel));
    }
    return m;
  }

private:
  std::mt19937 mGen;
};

// Where two saved states part, for the failure message.
std::string StateDifference(const std::vector<char>& a, const std::vector<char>& b)
{
  const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (at.first == a.end() && at.second == b.end()) return "equal";
  return "first difference at byte " + std::to_string(at.first - a.begin()) + " of " +
         std::to_string(a.size()) + " / " + std::to_string(b.size());
}

// Round trips are taken with no note sounding and the harness leaves the
// preset actions alone.
bool ClearedByRestore(int param)
{
  return param >= kFirstPresetAction && param <= kPresetSelector;
}

void ReleaseAllNotes(StressSession& session)
{
  for (int note = 0; note < 128; ++note)
    session.QueueMidi({0, 0x80, static_cast<unsigned char>(note), 0});
  session.QueueMidi({0, 0xB0, 64, 0});
  session.QueueMidi({0, 0xB0, 123, 0});
  session.Automate(kNoteGateMirror, 0.0);
  session.Process(1);
}

double SampleRate(Dice& dice)
{
  static constexpr double kRates[] = {8000, 11025, 22050, 44100, 48000, 96000, 192000, 384000};
  return dice.Chance(70) ? kRates[dice.Int(0, 7)] : dice.Int(8000, 384000);
}

class HostStress : public ::testing::TestWithParam<StressCase>
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    // The factory presets, so automated preset choices load real files.
    std::error_code error;
    std::filesystem::copy(THUDWERK_PRESET_SOURCE_DIR "/Factory", sandbox.PresetFolder() + "Factory",
                          std::filesystem::copy_options::overwrite_existing, error);
    ASSERT_FALSE(error) << error.message();
    session = GetParam().open(GetParam().single);
    ASSERT_TRUE(session);
  }

  PresetSandbox sandbox;
  std::unique_ptr<StressSession> session;
};

TEST_P(HostStress, RandomHostBehaviourKeepsOutputAndStateSound)
{
  const unsigned seed = 1000u + static_cast<unsigned>(GetParam().single) * 7u +
                        static_cast<unsigned>(GetParam().name[3]);
  SCOPED_TRACE("seed " + std::to_string(seed));
  Dice dice(seed);
  std::set<int> heldNotes;
  int maxBlock = 4096;
  std::vector<char> earlierState = session->SaveState();
  int roundTrips = 0;
  for (int block = 0; block < THUDWERK_STRESS_BLOCKS; ++block)
  {
    if (dice.Chance(2))
    {
      maxBlock = dice.Chance(30) ? dice.Int(1, 64) : dice.Int(1, 4096);
      session->Restart(SampleRate(dice), maxBlock);
    }
    if (dice.Chance(3))
    {
      // Save and restore into the same instance: it gives back its bytes
      // exactly.
      ReleaseAllNotes(*session);
      const std::vector<char> saved = session->SaveState();
      EXPECT_TRUE(session->RestoreState(saved)) << "block " << block;
      const std::vector<char> again = session->SaveState();
      EXPECT_TRUE(again == saved) << "block " << block << ": " << StateDifference(again, saved);
      ++roundTrips;
    }
    if (dice.Chance(1))
    {
      // A state from earlier in the session, as a host's undo brings back.
      ReleaseAllNotes(*session);
      EXPECT_TRUE(session->RestoreState(earlierState)) << "block " << block;
      const std::vector<char> restored = session->SaveState();
      EXPECT_TRUE(restored == earlierState)
          << "block " << block << ": " << StateDifference(restored, earlierState);
      earlierState = session->SaveState();
    }
    if (dice.Chance(2)) session->SetBypass(dice.Chance(50));
    for (int n = dice.Int(0, 3); n > 0; --n)
    {
      const int param = dice.Chance(97) ? dice.Int(0, kParams - 1) : dice.Int(kParams, 1000);
      if (ClearedByRestore(param)) continue;
      session->Automate(param, dice.AutomationValue(param));
    }
    const int frames =
        dice.Chance(20) ? dice.Int(1, std::min(maxBlock, 16)) : dice.Int(1, maxBlock);
    for (int n = dice.Chance(40) ? dice.Int(1, 6) : 0; n > 0; --n)
      session->QueueMidi(dice.Midi(frames, heldNotes));
    session->Process(frames);
    if (HasFailure()) break;
  }
  EXPECT_EQ(session->badSamples, 0) << session->firstBad;
  EXPECT_GT(roundTrips, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, HostStress,
                         ::testing::Values(StressCase{"Vst2Single", OpenVst2, true},
                                           StressCase{"Vst2Double", OpenVst2, false},
                                           StressCase{"Vst3Single", OpenVst3, true},
                                           StressCase{"Vst3Double", OpenVst3, false}),
                         [](const auto& test) { return std::string(test.param.name); });

// A kick with the reverb on decays through the float range minutes later:
// the 64-bit output carries that tail, the 32-bit output stops at 0.
TEST(ReverbTail, NeverReachesSinglePrecisionAsSubnormals)
{
  for (auto open : {OpenVst2, OpenVst3})
  {
    std::unique_ptr<StressSession> single = open(true);
    std::unique_ptr<StressSession> wide = open(false);
    ASSERT_TRUE(single && wide);
    constexpr int kBlock = 4096;
    // The tail lasts seconds, whatever the rate: the lowest is the quickest.
    constexpr double kRate = 8000.0;
    for (StressSession* s : {single.get(), wide.get()})
    {
      s->Restart(kRate, kBlock);
      s->Automate(kReverbOffOn, 1.0);
      s->QueueMidi({0, 0x90, 36, 127});
      s->Process(kBlock);
      s->QueueMidi({0, 0x80, 36, 0});
    }
    for (double done = 0; done < THUDWERK_STRESS_TAIL_SECONDS * kRate; done += kBlock)
    {
      single->Process(kBlock);
      wide->Process(kBlock);
    }
    EXPECT_GT(wide->tinySamples, 0) << "the tail reaches the subnormal float range";
    EXPECT_EQ(single->badSamples, 0) << single->firstBad;
    EXPECT_EQ(single->tinySamples, 0);
  }
}
} // namespace
