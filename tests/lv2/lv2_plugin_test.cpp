// The LV2 plug-in in the project's lilv host: renders bit-identical to the
// VST 3 build, the enable fade, state round trips and refusals, and the
// factory presets as hosts apply them.

#include "lilv_host.h"
#include "lv2_identity.h"
#include "preset_sandbox.h"
#include "thudwerk_fixture.h"

#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
// The bundle just built, whatever the environment named.
const bool kLv2PathSet = setenv("LV2_PATH", THUDWERK_LV2_DIR, 1) == 0;

constexpr double kRate = 44100.0;
constexpr int kBlock = 64;
constexpr int kParams = 27;
constexpr int kMainVolume = 7;
constexpr int kPresetSelector = 13;

// What a test host does in a block: a MIDI message at a frame, or a port
// set at block start (the VST 3 build gets vst3Value for it then).
struct Action
{
  enum Kind
  {
    kNoteOn,
    kNoteOff,
    kController,
    kPort
  } kind;
  int block;
  int frame;    // kNoteOn, kNoteOff, kController
  int number;   // pitch, controller, or parameter index
  double value; // velocity, controller value, or port value
  double vst3Value = 0.0;
};

struct RenderCase
{
  const char* name;
  std::vector<Action> actions;
};

class Lv2Test : public ThudwerkTest
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(kLv2PathSet);
    ThudwerkTest::SetUp();
    plugin = host.Plugin(kLv2PluginUri);
    ASSERT_NE(plugin, nullptr) << "not found in LV2_PATH";
  }

  std::unique_ptr<LilvPluginInstance> NewInstance()
  {
    auto instance = std::make_unique<LilvPluginInstance>(host, plugin, kRate);
    EXPECT_TRUE(instance->Valid());
    return instance;
  }

  const LV2_State_Interface* StateInterface(const LilvPluginInstance& plug)
  {
    return static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(plug.Instance(), LV2_STATE__interface));
  }

  // The state blob, through the state interface as hosts call it.
  std::vector<uint8_t> Blob(const LilvPluginInstance& plug)
  {
    std::vector<uint8_t> blob;
    auto store = [](LV2_State_Handle handle, uint32_t, const void* value, size_t size, uint32_t,
                    uint32_t) -> LV2_State_Status
    {
      auto* bytes = static_cast<const uint8_t*>(value);
      static_cast<std::vector<uint8_t>*>(handle)->assign(bytes, bytes + size);
      return LV2_STATE_SUCCESS;
    };
    EXPECT_EQ(StateInterface(plug)->save(plug.Instance()->lv2_handle, store, &blob, 0, nullptr),
              LV2_STATE_SUCCESS);
    return blob;
  }

  std::vector<float> RenderLv2(const std::vector<Action>& actions, int blocks)
  {
    auto plug = NewInstance();
    for (int b = 0; b < blocks; ++b)
    {
      std::vector<MidiAt> midi;
      for (const Action& a : actions)
      {
        if (a.block != b) continue;
        const auto data = static_cast<uint8_t>(a.value);
        if (a.kind == Action::kNoteOn) midi.push_back({a.frame, {0x90, uint8_t(a.number), data}});
        if (a.kind == Action::kNoteOff) midi.push_back({a.frame, {0x80, uint8_t(a.number), 0}});
        if (a.kind == Action::kController)
          midi.push_back({a.frame, {0xB0, uint8_t(a.number), data}});
        if (a.kind == Action::kPort) PortOf(*plug, a.number) = static_cast<float>(a.value);
      }
      plug->Run(kBlock, midi);
    }
    return plug->Render(0);
  }

  std::vector<float> RenderVst3(const std::vector<Action>& actions, int blocks)
  {
    using namespace Steinberg::Vst;
    Prepare(kSample32, kBlock, kRate);
    ProcessBlock block(kSample32, {2}, {2}, kBlock);
    // No transport, as the LV2 build reads none.
    block.sendContext = false;
    std::vector<float> render;
    for (int b = 0; b < blocks; ++b)
    {
      block.Changes().Clear();
      block.Events().Clear();
      // The values an LV2 host starts its ports at, as floats.
      for (int p = 0; b == 0 && p < kParams; ++p)
        block.Changes().Add(p, 0, controller->plainParamToNormalized(p, PortDefault(p)));
      for (const Action& a : actions)
      {
        if (a.block != b) continue;
        if (a.kind == Action::kNoteOn)
          block.Events().AddNoteOn(a.frame, 0, int16_t(a.number), float(a.value) / 127.0f);
        if (a.kind == Action::kNoteOff) block.Events().AddNoteOff(a.frame, 0, int16_t(a.number));
        // A port carries a float.
        if (a.kind == Action::kPort)
          block.Changes().Add(
              a.number, 0,
              controller->plainParamToNormalized(a.number, static_cast<float>(a.vst3Value)));
        if (a.kind == Action::kController)
          block.Changes().Add(kMainVolume, 0,
                              controller->plainParamToNormalized(kMainVolume, a.vst3Value));
      }
      EXPECT_EQ(processor->process(block.Data(kBlock)), Steinberg::kResultOk);
      for (int k = 0; k < kBlock; ++k)
        render.push_back(static_cast<float>(block.Output(0, 0, k)));
    }
    return render;
  }

  float& PortOf(LilvPluginInstance& plug, int paramIdx)
  {
    const LilvPort* port =
        lilv_plugin_get_port_by_index(plugin, kLv2FirstParamPort + uint32_t(paramIdx));
    return plug.Control(lilv_node_as_string(lilv_port_get_symbol(plugin, port)));
  }

  // A parameter's value in a state blob.
  static double BlobValue(const std::vector<uint8_t>& blob, int paramIdx)
  {
    double value = 0.0;
    std::memcpy(&value, blob.data() + 8 * paramIdx, sizeof value);
    return value;
  }

  float PortDefault(int paramIdx)
  {
    std::vector<float> defaults(lilv_plugin_get_num_ports(plugin));
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    return defaults[kLv2FirstParamPort + static_cast<size_t>(paramIdx)];
  }

  int ParamIndexOf(const std::string& symbol)
  {
    LilvNode* node = lilv_new_string(host.World(), symbol.c_str());
    const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, node);
    lilv_node_free(node);
    return port ? static_cast<int>(lilv_port_get_index(plugin, port) - kLv2FirstParamPort) : -1;
  }

  LilvHost host;
  const LilvPlugin* plugin = nullptr;
};

class Lv2RenderTest : public Lv2Test, public ::testing::WithParamInterface<RenderCase>
{
};

const RenderCase kRenderCases[] = {
    {"NotesAtFrameOffsets",
     {{Action::kNoteOn, 0, 10, 36, 127},
      {Action::kNoteOff, 6, 33, 36, 0},
      {Action::kNoteOn, 10, 63, 40, 100},
      {Action::kNoteOff, 20, 0, 40, 0}}},
    // A switch port is on above 0, as LV2 toggles are.
    {"PortChangesAtBlockStart",
     {{Action::kNoteOn, 0, 0, 36, 127},
      {Action::kPort, 2, 0, 14, 0.7, 1.0},
      {Action::kPort, 3, 0, 2, 0.9, 0.9},
      {Action::kPort, 5, 0, kMainVolume, 0.5, 0.5},
      {Action::kPort, 9, 0, 14, 0.0, 0.0}}},
    // Controller 7 sets MainVolume; the port, never moved, does not undo it
    // until the host moves it.
    {"ControllerHoldsUntilPortMoves",
     {{Action::kNoteOn, 0, 0, 36, 127},
      {Action::kController, 4, 0, 7, 20, 20.0 / 127.0},
      {Action::kPort, 12, 0, kMainVolume, 0.3, 0.3}}},
};

TEST_P(Lv2RenderTest, RendersBitIdenticalToVst3)
{
  constexpr int kBlocks = 30;
  const std::vector<float> lv2 = RenderLv2(GetParam().actions, kBlocks);
  const std::vector<float> vst3 = RenderVst3(GetParam().actions, kBlocks);
  ASSERT_EQ(lv2.size(), vst3.size());
  EXPECT_GT(*std::max_element(lv2.begin(), lv2.end()), 0.01f);
  for (size_t k = 0; k < lv2.size(); ++k)
    ASSERT_EQ(lv2[k], vst3[k]) << "frame " << k;
}

INSTANTIATE_TEST_SUITE_P(Sequences, Lv2RenderTest, ::testing::ValuesIn(kRenderCases),
                         [](const auto& entry) { return std::string(entry.param.name); });

// The enable port fades out over a few milliseconds instead of cutting;
// enabled again, the plug-in starts afresh.
TEST_F(Lv2Test, EnablePortFadesOutAndResumesAfresh)
{
  constexpr int kOffBlock = 4;
  constexpr int kOnBlock = 12;
  const std::vector<float> reference = RenderLv2({{Action::kNoteOn, 0, 0, 36, 127}}, kOnBlock);
  const std::vector<float> fresh = RenderLv2({{Action::kNoteOn, 0, 0, 38, 127}}, 4);
  auto plug = NewInstance();
  float& enabled = plug->Control("enabled");
  for (int b = 0; b < kOnBlock + 4; ++b)
  {
    enabled = b >= kOffBlock && b < kOnBlock ? 0.0f : 1.0f;
    std::vector<MidiAt> midi;
    if (b == 0) midi.push_back({0, {0x90, 36, 127}});
    if (b == kOnBlock) midi.push_back({0, {0x90, 38, 127}});
    plug->Run(kBlock, midi);
  }
  const std::vector<float>& out = plug->Render(0);
  const size_t fadeStart = kOffBlock * kBlock;
  const size_t fadeFrames = static_cast<size_t>(std::ceil(0.005 * kRate));
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + fadeStart, reference.begin()));
  EXPECT_NE(out[fadeStart], 0.0f);
  for (size_t k = fadeStart; k < kOnBlock * kBlock; ++k)
  {
    ASSERT_LE(std::fabs(out[k]), std::fabs(reference[k])) << "frame " << k;
    if (k > fadeStart + fadeFrames)
    {
      ASSERT_EQ(out[k], 0.0f) << "frame " << k;
    }
  }
  EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), out.begin() + kOnBlock * kBlock));
}

// Saved, restored into a new instance, saved again: the same state, also
// where the instrument's own change (a controller) differs from the host's
// port value.
TEST_F(Lv2Test, StateRoundTripsThroughNewInstance)
{
  auto first = NewInstance();
  PortOf(*first, 2) = 0.9f;
  first->Run(kBlock, {{0, {0x90, 36, 127}}, {5, {0xB0, 7, 64}}});
  LilvState* saved = first->SaveState();
  ASSERT_NE(saved, nullptr);
  EXPECT_DOUBLE_EQ(BlobValue(Blob(*first), kMainVolume), 64.0 / 127.0);

  auto second = NewInstance();
  second->RestoreState(saved);
  second->Run(kBlock);
  LilvState* again = second->SaveState();
  EXPECT_TRUE(lilv_state_equals(saved, again));
  EXPECT_EQ(Blob(*first), Blob(*second));
  lilv_state_free(saved);
  lilv_state_free(again);
}

struct BadState
{
  const char* name;
  bool present;
  bool chunkType;
  int sizeChange;
  LV2_State_Status expected;
};

class Lv2BadStateTest : public Lv2Test, public ::testing::WithParamInterface<BadState>
{
};

const BadState kBadStates[] = {
    {"Missing", false, true, 0, LV2_STATE_ERR_NO_PROPERTY},
    {"WrongType", true, false, 0, LV2_STATE_ERR_BAD_TYPE},
    {"Short", true, true, -1, LV2_STATE_ERR_UNKNOWN},
    {"Long", true, true, 8, LV2_STATE_ERR_UNKNOWN},
};

TEST_P(Lv2BadStateTest, ChangesNothingAndFails)
{
  auto plug = NewInstance();
  PortOf(*plug, 2) = 0.9f;
  plug->Run(kBlock);
  const std::vector<uint8_t> before = Blob(*plug);
  // Another state's values, so that any change would show.
  struct Offer
  {
    std::vector<uint8_t> bytes;
    LV2_URID type;
    bool present;
    LV2_URID key;
  } offer{std::vector<uint8_t>(before.size() + GetParam().sizeChange, 0),
          host.Map(GetParam().chunkType ? LV2_ATOM__Chunk : LV2_ATOM__String), GetParam().present,
          host.Map(kLv2StateKeyUri)};
  auto retrieve = [](LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) -> const void*
  {
    auto* o = static_cast<Offer*>(handle);
    if (!o->present || key != o->key) return nullptr;
    *size = o->bytes.size();
    *type = o->type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return o->bytes.data();
  };
  EXPECT_EQ(
      StateInterface(*plug)->restore(plug->Instance()->lv2_handle, retrieve, &offer, 0, nullptr),
      GetParam().expected);
  plug->Run(kBlock);
  EXPECT_EQ(Blob(*plug), before);
}

INSTANTIATE_TEST_SUITE_P(Blobs, Lv2BadStateTest, ::testing::ValuesIn(kBadStates),
                         [](const auto& entry) { return std::string(entry.param.name); });

// The factory preset files where the instrument's own preset loads find
// them, before the instances are made.
class Lv2PresetTest : public Lv2Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    for (const auto& file : std::filesystem::directory_iterator(THUDWERK_FACTORY_PRESETS))
      std::filesystem::copy(file.path(), sandbox.PresetFolder() + "Factory/");
    Lv2Test::SetUp();
  }

  PresetSandbox sandbox;
};

// Each factory preset, applied by the host from the bundle, gives the
// values the instrument's own preset load gives (VST 3 program choice).
TEST_F(Lv2PresetTest, FactoryPresetsMatchTheInstrumentsLoads)
{
  LilvNode* presetClass = lilv_new_uri(host.World(), LV2_PRESETS__Preset);
  LilvNodes* related = lilv_plugin_get_related(plugin, presetClass);
  std::vector<std::string> presets;
  LILV_FOREACH(nodes, i, related)
  presets.push_back(lilv_node_as_uri(lilv_nodes_get(related, i)));
  lilv_nodes_free(related);
  lilv_node_free(presetClass);
  // The file names number them in catalogue order.
  std::sort(presets.begin(), presets.end());
  ASSERT_EQ(presets.size(), 46u);

  Prepare(Steinberg::Vst::kSample32, kBlock, kRate);
  ProcessBlock block(Steinberg::Vst::kSample32, {2}, {2}, kBlock);
  block.sendContext = false;
  auto plug = NewInstance();
  auto* map = static_cast<LV2_URID_Map*>(host.Features()[0]->data);
  for (size_t i = 0; i < presets.size(); ++i)
  {
    LilvNode* uri = lilv_new_uri(host.World(), presets[i].c_str());
    // Hosts load a preset's file when it is chosen.
    lilv_world_load_resource(host.World(), uri);
    LilvState* state = lilv_state_new_from_world(host.World(), map, uri);
    lilv_node_free(uri);
    ASSERT_NE(state, nullptr) << presets[i];
    plug->RestoreState(state);
    std::vector<std::string> symbols;
    lilv_state_emit_port_values(
        state,
        [](const char* symbol, void* found, const void*, uint32_t, uint32_t)
        { static_cast<std::vector<std::string>*>(found)->push_back(symbol); },
        &symbols);
    lilv_state_free(state);
    EXPECT_EQ(symbols.size(), 10u) << presets[i];
    plug->Run(kBlock);

    block.Changes().Clear();
    block.Changes().Add(kPresetSelector, 0,
                        controller->plainParamToNormalized(kPresetSelector, double(i + 1)));
    ASSERT_EQ(processor->process(block.Data(kBlock)), Steinberg::kResultOk);
    const std::vector<char> vst3 = SavedState(component);
    const std::vector<uint8_t> vst3Blob(vst3.begin(), vst3.end());
    const std::vector<uint8_t> lv2Blob = Blob(*plug);
    for (const std::string& symbol : symbols)
    {
      const int p = ParamIndexOf(symbol);
      ASSERT_GE(p, 0) << symbol;
      EXPECT_EQ(BlobValue(lv2Blob, p), BlobValue(vst3Blob, p)) << presets[i] << " " << symbol;
    }
  }
}
} // namespace
