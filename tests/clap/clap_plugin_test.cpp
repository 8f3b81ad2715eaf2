// Thudwerk.clap through the CLAP interfaces a host uses: entry, factory,
// ports, parameters, processing, state and the host notifications, each
// call on the thread its rule names.

#include "clap_fixture.h"
#include "clap_streams.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <thread>

namespace
{
constexpr clap_id kMainVolume = 7;
constexpr clap_id kReverbOffOn = 14;
constexpr clap_id kVelAmpOffOn = 19;
constexpr const char* kPluginId = "com.vornaudio.thudwerk";
// The sound parameters a host automates, and the controllers that move
// them.
constexpr clap_id kSoundParams[] = {0, 1, 2, 3, 7, 14, 15, 16, 17, 18, 19};
constexpr uint8_t kControllers[] = {1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 14, 64};

using ClapPlugin = ClapFixture;

TEST(ClapModule, EntryFactoryAndDescriptorAnswerAsHostsCheck)
{
  const auto start = std::chrono::steady_clock::now();
  const ClapModule& module = ThudwerkModule();
  const clap_plugin_factory_t* factory = module.PluginFactory();
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(factory->get_plugin_count(factory), 1u);
  const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, 0);
  const double scanMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(scanMs, 100.0);
  EXPECT_EQ(module.Entry().clap_version.major, 1u);
  // A second init is harmless and pairs with its own deinit.
  EXPECT_TRUE(module.Entry().init(module.Path().c_str()));
  module.Entry().deinit();
  EXPECT_EQ(module.Entry().get_factory("nonexistent"), nullptr);
  EXPECT_NE(module.PresetDiscoveryFactory(), nullptr);
  EXPECT_EQ(module.Entry().get_factory(kClapPresetDiscoveryFactoryIdCompat),
            module.PresetDiscoveryFactory());

  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
  EXPECT_STREQ(descriptor->id, kPluginId);
  EXPECT_STREQ(descriptor->name, "Thudwerk");
  EXPECT_STREQ(descriptor->vendor, "VornAudio");
  EXPECT_STREQ(descriptor->version, THUDWERK_PROJECT_VERSION);
  for (const char* text :
       {descriptor->url, descriptor->manual_url, descriptor->support_url, descriptor->description})
    EXPECT_NE(text, nullptr);
  std::vector<std::string> features;
  for (const char* const* feature = descriptor->features; *feature; ++feature)
    features.push_back(*feature);
  EXPECT_EQ(features, (std::vector<std::string>{"instrument", "synthesizer", "drum", "stereo"}));

  ClapHost host;
  host.SetQuiet(true);
  EXPECT_EQ(factory->create_plugin(factory, host.Host(), "com.vornaudio.thudwerkx"), nullptr);
  const clap_plugin_t* plugin = factory->create_plugin(factory, host.Host(), kPluginId);
  host.SetQuiet(false);
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->desc, descriptor);
  plugin->destroy(plugin);
  EXPECT_TRUE(host.Violations().empty()) << host.Violations().front();
}

TEST_F(ClapPlugin, PortsAreOneStereoOutputAndOneNoteInput)
{
  ClapInstance& plug = NewInstance();
  const auto& audio = Ext<clap_plugin_audio_ports_t>(plug, kClapExtAudioPorts);
  EXPECT_EQ(audio.count(plug.Plugin(), true), 0u);
  ASSERT_EQ(audio.count(plug.Plugin(), false), 1u);
  clap_audio_port_info_t port{};
  ASSERT_TRUE(audio.get(plug.Plugin(), 0, false, &port));
  EXPECT_EQ(port.channel_count, 2u);
  EXPECT_STREQ(port.port_type, "stereo");
  EXPECT_EQ(port.flags,
            kClapAudioPortIsMain | kClapAudioPortSupports64Bits | kClapAudioPortPrefers64Bits);
  EXPECT_EQ(port.in_place_pair, kClapInvalidId);
  EXPECT_FALSE(audio.get(plug.Plugin(), 0, true, &port));

  const auto& notes = Ext<clap_plugin_note_ports_t>(plug, kClapExtNotePorts);
  EXPECT_EQ(notes.count(plug.Plugin(), false), 0u);
  ASSERT_EQ(notes.count(plug.Plugin(), true), 1u);
  clap_note_port_info_t notePort{};
  ASSERT_TRUE(notes.get(plug.Plugin(), 0, true, &notePort));
  EXPECT_EQ(notePort.supported_dialects, kClapNoteDialectClap | kClapNoteDialectMidi);
  EXPECT_EQ(notePort.preferred_dialect, kClapNoteDialectClap);
  EXPECT_EQ(plug.Get<void>("clap.unknown"), nullptr);
}

TEST_F(ClapPlugin, ParametersAreStableAndTheirTextsRoundTrip)
{
  ClapInstance& plug = NewInstance();
  ClapInstance& other = NewInstance();
  const auto& params = Ext<clap_plugin_params_t>(plug, kClapExtParams);
  ASSERT_EQ(params.count(plug.Plugin()), uint32_t(kClapParamCount));
  std::mt19937 random(7);
  std::set<std::string> names;
  for (uint32_t index = 0; index < uint32_t(kClapParamCount); ++index)
  {
    clap_param_info_t info{};
    clap_param_info_t otherInfo{};
    ASSERT_TRUE(params.get_info(plug.Plugin(), index, &info));
    ASSERT_TRUE(params.get_info(other.Plugin(), index, &otherInfo));
    EXPECT_EQ(info.id, index);
    EXPECT_EQ(otherInfo.id, index);
    EXPECT_TRUE(names.insert(info.name).second) << info.name;
    EXPECT_TRUE(std::isfinite(info.min_value) && std::isfinite(info.max_value));
    EXPECT_LT(info.min_value, info.max_value) << index;
    EXPECT_GE(info.default_value, info.min_value);
    EXPECT_LE(info.default_value, info.max_value);
    EXPECT_TRUE(info.flags & kClapParamIsAutomatable);
    const bool isSwitch = index == kReverbOffOn || index == kVelAmpOffOn;
    EXPECT_EQ((info.flags & kClapParamIsStepped) != 0, isSwitch) << index;
    EXPECT_NE(info.module[0], '\0') << index;

    std::uniform_real_distribution<double> inRange(info.min_value, info.max_value);
    for (double value :
         {info.min_value, info.max_value, info.default_value, inRange(random), inRange(random)})
    {
      if (isSwitch) value = std::round(value);
      char text[64];
      char again[64];
      double parsed = -1.0;
      ASSERT_TRUE(params.value_to_text(plug.Plugin(), index, value, text, sizeof(text)));
      ASSERT_TRUE(params.text_to_value(plug.Plugin(), index, text, &parsed)) << text;
      ASSERT_TRUE(params.value_to_text(plug.Plugin(), index, parsed, again, sizeof(again)));
      EXPECT_STREQ(text, again) << index;
      if (isSwitch)
      {
        EXPECT_EQ(parsed, value);
      }
    }
  }
  clap_param_info_t info{};
  EXPECT_FALSE(params.get_info(plug.Plugin(), kClapParamCount, &info));
  double value = 0.0;
  EXPECT_FALSE(params.get_value(plug.Plugin(), kClapParamCount, &value));
  ASSERT_TRUE(params.get_info(plug.Plugin(), 18, &info));
  EXPECT_STREQ(info.module, "Drive");
}

// Renders frames in blocks, both precisions, with scheduled events.
struct ScheduledEvent
{
  uint32_t frame;
  std::vector<uint64_t> bytes; // the event record, 8-byte aligned
};

template <typename Event>
ScheduledEvent Schedule(uint32_t frame, const Event& event)
{
  ScheduledEvent scheduled{frame, std::vector<uint64_t>((sizeof(Event) + 7) / 8)};
  std::memcpy(scheduled.bytes.data(), &event, sizeof(Event));
  return scheduled;
}

struct Rendered
{
  std::vector<double> left;
  std::vector<double> right;
  std::vector<clap_process_status> statuses;
};

Rendered Render(ClapInstance& plug, uint32_t frames, uint32_t block, bool single,
                const std::vector<ScheduledEvent>& events)
{
  Rendered out{std::vector<double>(frames), std::vector<double>(frames), {}};
  std::vector<float> singles[2] = {std::vector<float>(block), std::vector<float>(block)};
  std::vector<double> doubles[2] = {std::vector<double>(block), std::vector<double>(block)};
  ClapInputEvents in;
  ClapOutputEvents sink;
  size_t next = 0;
  for (uint32_t start = 0; start < frames; start += block)
  {
    const uint32_t count = std::min(block, frames - start);
    in.Clear();
    for (; next < events.size() && events[next].frame < start + count; ++next)
    {
      std::vector<uint64_t> copy = events[next].bytes;
      auto* header = reinterpret_cast<clap_event_header_t*>(copy.data());
      header->time = events[next].frame - start;
      in.Add(*header);
    }
    auto keep = [&](auto& channels)
    {
      out.statuses.push_back(plug.Process(count, channels[0].data(), channels[1].data(), in, sink));
      std::copy_n(channels[0].begin(), count, out.left.begin() + start);
      std::copy_n(channels[1].begin(), count, out.right.begin() + start);
    };
    single ? keep(singles) : keep(doubles);
  }
  return out;
}

// Random notes (both dialects), chokes, controllers and parameter values,
// with inconsistent events among them, for frames at a rate; with foreign
// set, the same plus events of another space.
std::vector<ScheduledEvent> RandomEvents(uint32_t frames, unsigned seed, bool foreign)
{
  std::mt19937 random(seed);
  std::mt19937 other(seed + 1);
  std::vector<ScheduledEvent> events;
  events.push_back(Schedule(0, ClapNoteEvent(kClapEventNoteOn, 36, 1.0)));
  std::uniform_int_distribution<uint32_t> gap(1, 4000);
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<int> key(24, 72);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (uint32_t frame = gap(random); frame < frames; frame += gap(random))
  {
    const int16_t k = static_cast<int16_t>(key(random));
    switch (kind(random))
    {
    case 0:
    case 1:
      events.push_back(Schedule(frame, ClapNoteEvent(kClapEventNoteOn, k, unit(random))));
      break;
    case 2:
      events.push_back(Schedule(frame, ClapNoteEvent(kClapEventNoteOff, k, 0.0)));
      break;
    case 3:
      events.push_back(Schedule(frame, ClapNoteEvent(kClapEventNoteChoke, -1, 0.0, -1)));
      break;
    case 4:
      events.push_back(Schedule(frame, ClapMidiEvent(random() % 2 ? 0x90 : 0x80, uint8_t(k), 100)));
      break;
    case 5:
    {
      const uint8_t controller = kControllers[random() % std::size(kControllers)];
      events.push_back(Schedule(frame, ClapMidiEvent(0xB0, controller, uint8_t(random() % 128))));
      break;
    }
    case 6:
    case 7:
      events.push_back(
          Schedule(frame, ClapParamValueEvent(kSoundParams[random() % std::size(kSoundParams)],
                                              unit(random))));
      break;
    case 8:
      // Inconsistent: a key or channel of -1 on a note-on, another port, a
      // record shorter than its type.
      events.push_back(Schedule(frame, ClapNoteEvent(kClapEventNoteOn, -1, 1.0)));
      events.push_back(Schedule(frame, ClapNoteEvent(kClapEventNoteOn, k, 1.0, -1)));
      events.push_back(Schedule(frame, ClapNoteEvent(kClapEventNoteOn, k, 1.0, 0, 3)));
      {
        clap_event_note_t shortNote = ClapNoteEvent(kClapEventNoteOn, k, 1.0);
        shortNote.header.size = sizeof(clap_event_header_t);
        events.push_back(Schedule(frame, shortNote));
      }
      break;
    default:
      events.push_back(Schedule(frame, ClapNoteEvent(kClapEventNoteOff, k, 0.0, 5)));
      break;
    }
    if (foreign)
    {
      events.push_back(Schedule(frame, ClapNoteEvent(kClapEventNoteOn, k, 1.0, 0, 0, 1)));
      events.push_back(Schedule(frame, ClapParamValueEvent(kMainVolume, unit(other), nullptr, 7)));
      events.push_back(Schedule(frame, ClapMidiEvent(0xB0, 7, 0, 2)));
    }
  }
  return events;
}

struct ProcessCase
{
  double rate;
  uint32_t block;
  bool single;
};

class ClapProcessing : public ClapFixture, public ::testing::WithParamInterface<ProcessCase>
{
};

TEST_P(ClapProcessing, RandomEventsSoundFiniteAndOtherSpacesChangeNothing)
{
  const ProcessCase c = GetParam();
  const uint32_t frames = static_cast<uint32_t>(c.rate * 0.3);
  const unsigned seed = static_cast<unsigned>(c.rate) + c.block;
  Rendered renders[2];
  for (int foreign = 0; foreign < 2; ++foreign)
  {
    ClapInstance& plug = NewInstance();
    ASSERT_TRUE(plug.Activate(c.rate, 1, c.block));
    ASSERT_TRUE(plug.StartProcessing());
    renders[foreign] = Render(plug, frames, c.block, c.single, RandomEvents(frames, seed, foreign));
  }
  double energy = 0.0;
  for (uint32_t i = 0; i < frames; ++i)
  {
    ASSERT_TRUE(std::isfinite(renders[0].left[i]) && std::isfinite(renders[0].right[i])) << i;
    energy += std::fabs(renders[0].left[i]);
    if (c.single)
    {
      EXPECT_TRUE(renders[0].left[i] == 0.0 ||
                  std::fabs(renders[0].left[i]) >= std::numeric_limits<float>::min());
    }
  }
  EXPECT_GT(energy, 1.0);
  EXPECT_EQ(renders[0].left, renders[1].left);
  EXPECT_EQ(renders[0].right, renders[1].right);
}

INSTANTIATE_TEST_SUITE_P(RatesBlocksPrecisions, ClapProcessing,
                         ::testing::ValuesIn(std::vector<ProcessCase>{
                             {44100, 1, false},
                             {44100, 64, true},
                             {44100, 4096, false},
                             {48000, 1, true},
                             {48000, 64, false},
                             {48000, 4096, true},
                             {96000, 1, false},
                             {96000, 64, true},
                             {96000, 4096, true},
                             {96000, 4096, false},
                         }));

bool Silent(const Rendered& r)
{
  for (size_t i = 0; i < r.left.size(); ++i)
    if (r.left[i] != 0.0 || r.right[i] != 0.0) return false;
  return true;
}

TEST_F(ClapPlugin, NoteVelocitiesSoundAsTheMidiVelocitiesTheyStandFor)
{
  for (uint8_t velocity : {1, 37, 64, 100, 113, 127})
  {
    Rendered renders[2];
    for (int dialect = 0; dialect < 2; ++dialect)
    {
      ClapInstance& plug = NewInstance();
      ASSERT_TRUE(plug.Activate(48000, 1, 512));
      ASSERT_TRUE(plug.StartProcessing());
      const ScheduledEvent note =
          dialect == 0 ? Schedule(3, ClapNoteEvent(kClapEventNoteOn, 40, velocity / 127.0))
                       : Schedule(3, ClapMidiEvent(0x90, 40, velocity));
      renders[dialect] = Render(plug, 4800, 512, false,
                                {Schedule(0, ClapParamValueEvent(kVelAmpOffOn, 1.0)), note});
    }
    EXPECT_FALSE(Silent(renders[0]));
    EXPECT_EQ(renders[0].left, renders[1].left) << int(velocity);
  }
}

TEST_F(ClapPlugin, TailResetSilencesSleepFollowsTheTailAndAnotherRatePlays)
{
  ClapInstance& plug = NewInstance();
  ASSERT_TRUE(plug.Activate(44100, 1, 4096));
  ASSERT_TRUE(plug.StartProcessing());
  // The reverb's tail, announced on the audio thread when it changes.
  const auto& tail = Ext<clap_plugin_tail_t>(plug, kClapExtTail);
  EXPECT_EQ(tail.get(plug.Plugin()), 0u);
  Render(plug, 64, 64, false, {Schedule(0, ClapParamValueEvent(kReverbOffOn, 1.0))});
  EXPECT_GT(tail.get(plug.Plugin()), 10u * 44100);
  EXPECT_EQ(host.GetRecord().tailChanges, 1);
  const std::vector<ScheduledEvent> note = {
      Schedule(0, ClapParamValueEvent(kReverbOffOn, 0.0)),
      Schedule(0, ClapNoteEvent(kClapEventNoteOn, 36, 0.8)),
      Schedule(2000, ClapNoteEvent(kClapEventNoteOff, 36, 0.0))};
  EXPECT_FALSE(Silent(Render(plug, 4096, 4096, false, note)));
  plug.Reset();
  EXPECT_TRUE(Silent(Render(plug, 4096, 4096, false, {})));

  // Sounding, the plug-in asks to go on; once the kick has died out and a
  // second of silence followed, it sleeps.
  const Rendered decay = Render(plug, 44100 * 6, 4096, false, note);
  EXPECT_EQ(decay.statuses.front(), kClapProcessContinue);
  const auto sleep = std::find(decay.statuses.begin(), decay.statuses.end(), kClapProcessSleep);
  ASSERT_NE(sleep, decay.statuses.end());
  const size_t firstSleep = static_cast<size_t>(sleep - decay.statuses.begin());
  const size_t sleepEnd = (firstSleep + 1) * 4096;
  ASSERT_GE(sleepEnd, 44100u);
  for (size_t i = sleepEnd - 44100; i < decay.left.size(); ++i)
    ASSERT_EQ(decay.left[i], 0.0) << i;

  plug.StopProcessing();
  plug.Deactivate();
  ASSERT_TRUE(plug.Activate(96000, 1, 512));
  ASSERT_TRUE(plug.StartProcessing());
  const Rendered again = Render(plug, 9600, 512, true, note);
  EXPECT_FALSE(Silent(again));
  EXPECT_EQ(again.statuses.front(), kClapProcessContinue);
  EXPECT_FALSE(plug.Activate(0.0, 1, 512));
}

TEST_F(ClapPlugin, ControllerChangesReachTheHostUnrecordedAndRescanOnTheMainThread)
{
  ClapInstance& plug = NewInstance();
  ASSERT_TRUE(plug.Activate(48000, 1, 256));
  ClapOutputEvents out;
  std::thread audio(
      [&]
      {
        ASSERT_TRUE(plug.StartProcessing());
        ClapInputEvents in;
        in.AddMidi(10, 0xB0, 7, 127);
        std::vector<double> left(256);
        std::vector<double> right(256);
        plug.Process(256, left.data(), right.data(), in, out);
        plug.StopProcessing();
      });
  audio.join();
  EXPECT_EQ(Value(plug, kMainVolume), 1.0);
  bool sent = false;
  for (uint32_t i = 0; i < out.Size(); ++i)
  {
    const auto* event = reinterpret_cast<const clap_event_param_value_t*>(out.Get(i));
    if (event->header.type != kClapEventParamValue || event->param_id != kMainVolume) continue;
    sent = true;
    EXPECT_EQ(event->value, 1.0);
    EXPECT_EQ(event->header.flags & kClapEventDontRecord, kClapEventDontRecord);
  }
  EXPECT_TRUE(sent);
  EXPECT_EQ(host.GetRecord().rescans, 0);
  EXPECT_GE(host.GetRecord().callbackRequests, 1);
  EXPECT_TRUE(host.RunRequestedCallback());
  EXPECT_GE(host.GetRecord().rescans, 1);
  EXPECT_EQ(host.GetRecord().rescanFlags & kClapParamRescanValues, kClapParamRescanValues);
}

std::vector<uint8_t> Save(ClapInstance& plug, uint64_t chunk)
{
  ClapOStream stream(chunk);
  EXPECT_TRUE(Ext<clap_plugin_state_t>(plug, kClapExtState).save(plug.Plugin(), stream.Stream()));
  return stream.Bytes();
}

bool Load(ClapInstance& plug, std::vector<uint8_t> bytes, uint64_t chunk)
{
  ClapIStream stream(std::move(bytes), chunk);
  return Ext<clap_plugin_state_t>(plug, kClapExtState).load(plug.Plugin(), stream.Stream());
}

TEST_F(ClapPlugin, StateSetThroughFlushRoundTripsByteForByteThroughOneByteStreams)
{
  ClapInstance& first = NewInstance();
  ClapInputEvents in;
  ClapOutputEvents out;
  in.AddParamValue(0, 0, 0.25);
  in.AddParamValue(0, kReverbOffOn, 1.0);
  in.AddParamValue(0, 18, 0.625);
  in.AddParamValue(0, kMainVolume, 0.5, 3); // another space: ignored
  const auto& params = Ext<clap_plugin_params_t>(first, kClapExtParams);
  const double volume = Value(first, kMainVolume);
  params.flush(first.Plugin(), in.List(), out.List());
  EXPECT_EQ(Value(first, 0), 0.25);
  EXPECT_EQ(Value(first, 18), 0.625);
  EXPECT_EQ(Value(first, kMainVolume), volume);

  const std::vector<uint8_t> saved = Save(first, 1);
  // The VST 3 state: 27 little-endian doubles and a bypass word.
  ASSERT_EQ(saved.size(), 27u * 8 + 4);
  double firstValue = 0.0;
  std::memcpy(&firstValue, saved.data(), 8);
  EXPECT_EQ(firstValue, 0.25);

  ClapInstance& second = NewInstance();
  host.ClearRecord();
  ASSERT_TRUE(Load(second, saved, 1));
  EXPECT_GE(host.GetRecord().rescans, 1);
  EXPECT_EQ(Save(second, 1), saved);
  for (clap_id id = 0; id < clap_id(kClapParamCount); ++id)
    EXPECT_EQ(Value(second, id), Value(first, id)) << id;
}

TEST_F(ClapPlugin, GarbageStateFailsAndChangesNothing)
{
  ClapInstance& plug = NewInstance();
  const std::vector<uint8_t> before = Save(plug, 4096);
  std::vector<uint8_t> nan = before;
  const double notANumber = std::nan("");
  std::memcpy(nan.data() + 8, &notANumber, 8);
  std::vector<uint8_t> badBypass = before;
  badBypass.back() = 2;
  std::mt19937 random(11);
  auto bytes = [&](size_t size)
  {
    std::vector<uint8_t> data(size);
    for (uint8_t& b : data)
      b = static_cast<uint8_t>(random());
    return data;
  };
  std::vector<uint8_t> longer = before;
  longer.push_back(0);
  for (const std::vector<uint8_t>& garbage :
       {bytes(0), bytes(1), bytes(219), bytes(220), bytes(4096), nan, badBypass, longer,
        std::vector<uint8_t>(before.begin(), before.end() - 4)})
  {
    EXPECT_FALSE(Load(plug, garbage, 1)) << garbage.size();
    EXPECT_EQ(Save(plug, 4096), before);
  }
}
} // namespace
