// The LV2 plug-in in the project's lilv host: renders bit-identical to the
// VST 3 build, the enable fade, state round trips and refusals, and the
// factory presets as hosts apply them.

#include "lilv_host.h"
#include "lv2_identity.h"
#include "preset_sandbox.h"
#include "thudwerk_fixture.h"

#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace
{
// The bundle just built, whatever the environment named.
const bool kLv2PathSet = setenv("LV2_PATH", THUDWERK_LV2_DIR, 1) == 0;
constexpr double kRate = 44100.0;
constexpr int kBlock = 64;
constexpr int kParams = 27;
constexpr int kMainVolume = 7;
constexpr int kPresetSelector = 13;

// A MIDI message at a frame of a block, or (param >= 0) a port set.
struct Action
{
  int block;
  int frame;
  std::vector<uint8_t> bytes;
  int param = -1;
  float value = 0.0f;
};

using Blob = std::vector<uint8_t>;

class Lv2Test : public ThudwerkTest
{
protected:
  void SetUp() override
  {
    // The instrument's own preset loads find the factory files here.
    ASSERT_TRUE(sandbox.Ready() && kLv2PathSet);
    for (const auto& file : std::filesystem::directory_iterator(THUDWERK_FACTORY_PRESETS))
      std::filesystem::copy(file.path(), sandbox.PresetFolder() + "Factory/");
    ThudwerkTest::SetUp();
    plugin = host.Plugin(kLv2PluginUri);
    ASSERT_NE(plugin, nullptr) << "not in LV2_PATH";
    Prepare(Steinberg::Vst::kSample32, kBlock, kRate);
    // No transport, as the LV2 build reads none.
    block.sendContext = false;
  }

  std::unique_ptr<LilvPluginInstance> NewInstance()
  {
    auto instance = std::make_unique<LilvPluginInstance>(host, plugin, kRate);
    EXPECT_NE(instance->Instance(), nullptr);
    return instance;
  }

  const LV2_State_Interface& State(const LilvPluginInstance& plug)
  {
    return *static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(plug.Instance(), LV2_STATE__interface));
  }

  Blob SavedBlob(const LilvPluginInstance& plug)
  {
    Blob blob;
    auto store =
        [](LV2_State_Handle to, uint32_t, const void* value, size_t size, uint32_t, uint32_t)
    {
      static_cast<Blob*>(to)->assign(static_cast<const uint8_t*>(value),
                                     static_cast<const uint8_t*>(value) + size);
      return LV2_STATE_SUCCESS;
    };
    EXPECT_EQ(State(plug).save(plug.Instance()->lv2_handle, store, &blob, 0, nullptr),
              LV2_STATE_SUCCESS);
    return blob;
  }

  static double ValueIn(const Blob& blob, int paramIdx)
  {
    double value = 0.0;
    std::memcpy(&value, blob.data() + 8 * paramIdx, sizeof value);
    return value;
  }

  std::vector<float> RenderLv2(const std::vector<Action>& actions, int blocks)
  {
    auto plug = NewInstance();
    for (int b = 0; b < blocks; ++b)
    {
      std::vector<MidiAt> midi;
      for (const Action& a : actions)
        if (a.block == b && a.param >= 0)
          plug->Control(kLv2FirstParamPort + uint32_t(a.param)) = a.value;
        else if (a.block == b)
          midi.push_back({a.frame, a.bytes});
      plug->Run(kBlock, midi);
    }
    return plug->Render();
  }

  // The same through the VST 3 build: the host's starting port values
  // first, a toggled port as its switch, controller 7 as MainVolume.
  std::vector<float> RenderVst3(const std::vector<Action>& actions, int blocks)
  {
    std::vector<float> render;
    for (int b = 0; b < blocks; ++b)
    {
      block.Changes().Clear();
      block.Events().Clear();
      std::vector<float> defaults(lilv_plugin_get_num_ports(plugin));
      lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
      for (int p = 0; b == 0 && p < kParams; ++p)
        SetVst3(p, defaults[kLv2FirstParamPort + size_t(p)]);
      for (const Action& a : actions)
      {
        if (a.block != b) continue;
        if (a.param >= 0) SetVst3(a.param, IsToggled(a.param) ? a.value > 0.0f : a.value);
        if (a.param >= 0) continue;
        const auto pitch = static_cast<int16_t>(a.bytes[1]);
        if (a.bytes[0] == 0x90) block.Events().AddNoteOn(a.frame, 0, pitch, a.bytes[2] / 127.0f);
        if (a.bytes[0] == 0x80) block.Events().AddNoteOff(a.frame, 0, pitch);
        if (a.bytes[0] == 0xB0) SetVst3(kMainVolume, a.bytes[2] / 127.0);
      }
      EXPECT_EQ(processor->process(block.Data(kBlock)), Steinberg::kResultOk);
      for (int k = 0; k < kBlock; ++k)
        render.push_back(static_cast<float>(block.Output(0, 0, k)));
    }
    return render;
  }

  void SetVst3(int paramIdx, double plain)
  {
    block.Changes().Add(paramIdx, 0, controller->plainParamToNormalized(paramIdx, plain));
  }

  bool IsToggled(int paramIdx)
  {
    LilvNode* toggled = lilv_new_uri(host.World(), LV2_CORE__toggled);
    const bool is = lilv_port_has_property(
        plugin, lilv_plugin_get_port_by_index(plugin, kLv2FirstParamPort + uint32_t(paramIdx)),
        toggled);
    lilv_node_free(toggled);
    return is;
  }

  PresetSandbox sandbox;
  LilvHost host;
  const LilvPlugin* plugin = nullptr;
  ProcessBlock block{Steinberg::Vst::kSample32, {2}, {2}, kBlock};
};

struct RenderCase
{
  const char* name;
  std::vector<Action> actions;
};

class Lv2RenderTest : public Lv2Test, public ::testing::WithParamInterface<RenderCase>
{
};

const RenderCase kRenderCases[] = {
    {"NotesAtFrameOffsets",
     {{0, 10, {0x90, 36, 127}},
      {6, 33, {0x80, 36, 0}},
      {10, 63, {0x90, 40, 100}},
      {20, 0, {0x80, 40, 0}}}},
    // A toggled port is on above 0. Controller 7 sets MainVolume, which the
    // unmoved port does not undo until the host moves it.
    {"PortsAtBlockStartAndControllerHolds",
     {{0, 0, {0x90, 36, 127}},
      {2, 0, {}, 14, 0.7f},
      {3, 0, {}, 2, 0.9f},
      {4, 0, {0xB0, 7, 20}},
      {9, 0, {}, 14, 0.0f},
      {12, 0, {}, kMainVolume, 0.3f}}},
};

TEST_P(Lv2RenderTest, RendersBitIdenticalToVst3)
{
  const std::vector<float> lv2 = RenderLv2(GetParam().actions, 30);
  const std::vector<float> vst3 = RenderVst3(GetParam().actions, 30);
  ASSERT_EQ(lv2.size(), vst3.size());
  EXPECT_GT(*std::max_element(lv2.begin(), lv2.end()), 0.01f);
  for (size_t k = 0; k < lv2.size(); ++k)
    ASSERT_EQ(lv2[k], vst3[k]) << "frame " << k;
}

INSTANTIATE_TEST_SUITE_P(Sequences, Lv2RenderTest, ::testing::ValuesIn(kRenderCases),
                         [](const auto& entry) { return std::string(entry.param.name); });

// The enable port fades out over 5 ms instead of cutting; enabled again,
// the plug-in starts afresh.
TEST_F(Lv2Test, EnablePortFadesOutAndResumesAfresh)
{
  constexpr size_t kOff = 4 * kBlock;
  constexpr size_t kOn = 12 * kBlock;
  const std::vector<float> reference = RenderLv2({{0, 0, {0x90, 36, 127}}}, 12);
  const std::vector<float> fresh = RenderLv2({{0, 0, {0x90, 38, 127}}}, 4);
  auto plug = NewInstance();
  for (size_t b = 0; b < 16; ++b)
  {
    plug->Control("enabled") = b * kBlock >= kOff && b * kBlock < kOn ? 0.0f : 1.0f;
    plug->Run(kBlock, b == 0              ? std::vector<MidiAt>{{0, {0x90, 36, 127}}}
                      : b * kBlock == kOn ? std::vector<MidiAt>{{0, {0x90, 38, 127}}}
                                          : std::vector<MidiAt>{});
  }
  const std::vector<float>& out = plug->Render();
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + kOff, reference.begin()));
  EXPECT_NE(out[kOff], 0.0f);
  for (size_t k = kOff; k < kOn; ++k)
  {
    ASSERT_LE(std::fabs(out[k]), std::fabs(reference[k])) << k;
    ASSERT_TRUE(k <= kOff + 0.005 * kRate || out[k] == 0.0f) << k;
  }
  EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), out.begin() + kOn));
}

// Saved, restored into a new instance, saved again: the same state, also
// where the instrument's own change (a controller) left the host's port
// value behind.
TEST_F(Lv2Test, StateRoundTripsThroughNewInstance)
{
  auto first = NewInstance();
  first->Control(kLv2FirstParamPort + 2) = 0.9f;
  first->Run(kBlock, {{0, {0x90, 36, 127}}, {5, {0xB0, 7, 64}}});
  LilvState* saved = first->SaveState();
  ASSERT_NE(saved, nullptr);
  EXPECT_DOUBLE_EQ(ValueIn(SavedBlob(*first), kMainVolume), 64.0 / 127.0);

  auto second = NewInstance();
  second->RestoreState(saved);
  second->Run(kBlock);
  LilvState* again = second->SaveState();
  EXPECT_TRUE(lilv_state_equals(saved, again));
  EXPECT_EQ(SavedBlob(*first), SavedBlob(*second));
  lilv_state_free(saved);
  lilv_state_free(again);
}

// A blob that is missing, of another type, short or long: failure, and the
// state stays as it was.
struct BadBlob
{
  const char* type; // null: missing
  int sizeChange;
  LV2_State_Status expected;
  Blob bytes = {};
  LV2_URID typeUrid = 0;
};

TEST_F(Lv2Test, BadStateChangesNothingAndFails)
{
  auto plug = NewInstance();
  plug->Control(kLv2FirstParamPort + 2) = 0.9f;
  plug->Run(kBlock);
  const Blob before = SavedBlob(*plug);
  for (BadBlob offer : {BadBlob{nullptr, 0, LV2_STATE_ERR_NO_PROPERTY},
                        BadBlob{LV2_ATOM__String, 0, LV2_STATE_ERR_BAD_TYPE},
                        BadBlob{LV2_ATOM__Chunk, -1, LV2_STATE_ERR_UNKNOWN},
                        BadBlob{LV2_ATOM__Chunk, 8, LV2_STATE_ERR_UNKNOWN}})
  {
    offer.bytes.assign(before.size() + offer.sizeChange, 0);
    offer.typeUrid = offer.type ? host.Map(offer.type) : 0;
    auto retrieve = [](LV2_State_Handle from, uint32_t, size_t* size, uint32_t* type,
                       uint32_t* flags) -> const void*
    {
      const auto* blob = static_cast<const BadBlob*>(from);
      *size = blob->bytes.size();
      *type = blob->typeUrid;
      *flags = LV2_STATE_IS_POD;
      return blob->type ? blob->bytes.data() : nullptr;
    };
    EXPECT_EQ(State(*plug).restore(plug->Instance()->lv2_handle, retrieve, &offer, 0, nullptr),
              offer.expected)
        << offer.sizeChange;
    plug->Run(kBlock);
    EXPECT_EQ(SavedBlob(*plug), before);
  }
}

// Each factory preset, applied by the host from the bundle, gives the
// values the instrument's own preset load gives (the VST 3 program).
TEST_F(Lv2Test, FactoryPresetsMatchTheInstrumentsLoads)
{
  LilvNode* presetClass = lilv_new_uri(host.World(), LV2_PRESETS__Preset);
  LilvNodes* related = lilv_plugin_get_related(plugin, presetClass);
  std::vector<std::string> presets;
  LILV_FOREACH(nodes, i, related)
  presets.push_back(lilv_node_as_uri(lilv_nodes_get(related, i)));
  lilv_nodes_free(related);
  lilv_node_free(presetClass);
  // Their names number them in catalogue order.
  std::sort(presets.begin(), presets.end());
  ASSERT_EQ(presets.size(), 46u);
  auto plug = NewInstance();
  for (size_t i = 0; i < presets.size(); ++i)
  {
    LilvNode* uri = lilv_new_uri(host.World(), presets[i].c_str());
    lilv_world_load_resource(host.World(), uri);
    LilvState* preset = lilv_state_new_from_world(host.World(), host.UridMap(), uri);
    lilv_node_free(uri);
    ASSERT_NE(preset, nullptr) << presets[i];
    plug->RestoreState(preset);
    std::vector<std::string> symbols;
    lilv_state_emit_port_values(
        preset,
        [](const char* symbol, void* to, const void*, uint32_t, uint32_t)
        { static_cast<std::vector<std::string>*>(to)->push_back(symbol); },
        &symbols);
    lilv_state_free(preset);
    plug->Run(kBlock);

    block.Changes().Clear();
    SetVst3(kPresetSelector, double(i + 1));
    ASSERT_EQ(processor->process(block.Data(kBlock)), Steinberg::kResultOk);
    const std::vector<char> vst3 = SavedState(component);
    const Blob lv2 = SavedBlob(*plug);
    EXPECT_EQ(symbols.size(), 10u) << presets[i];
    for (const std::string& symbol : symbols)
    {
      const int p = int(&plug->Control(symbol.c_str()) - &plug->Control(kLv2FirstParamPort));
      EXPECT_EQ(ValueIn(lv2, p), ValueIn(Blob(vst3.begin(), vst3.end()), p))
          << presets[i] << " " << symbol;
    }
  }
}
} // namespace
