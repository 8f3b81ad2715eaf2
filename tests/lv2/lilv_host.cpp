#include "lilv_host.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>

#include <cstring>

LilvHost::LilvHost()
    : mWorld(lilv_world_new()), mMap{this, [](LV2_URID_Map_Handle self, const char* uri)
                                     { return static_cast<LilvHost*>(self)->Map(uri); }}
{
  lilv_world_load_all(mWorld);
  mOptions[0] = {
      LV2_OPTIONS_INSTANCE, 0,         Map(LV2_BUF_SIZE__maxBlockLength), sizeof mMaxBlock,
      Map(LV2_ATOM__Int),   &mMaxBlock};
}

const LilvPlugin* LilvHost::Plugin(const char* uri) const
{
  LilvNode* node = lilv_new_uri(mWorld, uri);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  return plugin;
}

LV2_URID LilvHost::Map(const char* uri)
{
  return mUrids.emplace(uri, static_cast<LV2_URID>(mUrids.size() + 1)).first->second;
}

LilvPluginInstance::LilvPluginInstance(LilvHost& host, const LilvPlugin* plugin, double sampleRate)
    : mHost(host), mPlugin(plugin), mControls(lilv_plugin_get_num_ports(plugin)), mSequence(1024)
{
  lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, mControls.data());
  mInstance = lilv_plugin_instantiate(plugin, sampleRate, host.Features());
  if (!mInstance) return;
  lilv_instance_connect_port(mInstance, 0, mSequence.data());
  for (uint32_t c = 0; c < 2; ++c)
  {
    mOut[c].resize(LilvHost::kMaxBlock);
    lilv_instance_connect_port(mInstance, 1 + c, mOut[c].data());
  }
  for (uint32_t i = 3; i < mControls.size(); ++i)
    lilv_instance_connect_port(mInstance, i, &mControls[i]);
  lilv_instance_activate(mInstance);
}

LilvPluginInstance::~LilvPluginInstance()
{
  if (!mInstance) return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

float& LilvPluginInstance::Control(const char* symbol)
{
  LilvNode* node = lilv_new_string(mHost.World(), symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(mPlugin, node);
  lilv_node_free(node);
  return mControls.at(port ? lilv_port_get_index(mPlugin, port) : mControls.size());
}

void LilvPluginInstance::Run(int frames, const std::vector<MidiAt>& midi)
{
  auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(mSequence.data());
  *sequence = {{sizeof(LV2_Atom_Sequence_Body), mHost.Map(LV2_ATOM__Sequence)}, {0, 0}};
  for (const MidiAt& message : midi)
  {
    auto* event = lv2_atom_sequence_end(&sequence->body, sequence->atom.size);
    event->time.frames = message.frame;
    event->body = {static_cast<uint32_t>(message.bytes.size()), mHost.Map(LV2_MIDI__MidiEvent)};
    std::memcpy(event + 1, message.bytes.data(), message.bytes.size());
    sequence->atom.size += lv2_atom_pad_size(sizeof(LV2_Atom_Event) + event->body.size);
  }
  lilv_instance_run(mInstance, static_cast<uint32_t>(frames));
  mRender.insert(mRender.end(), mOut[0].begin(), mOut[0].begin() + frames);
}

LilvState* LilvPluginInstance::SaveState()
{
  auto value = [](const char* symbol, void* self, uint32_t* size, uint32_t* type) -> const void*
  {
    auto* plug = static_cast<LilvPluginInstance*>(self);
    *size = sizeof(float);
    *type = plug->mHost.Map(LV2_ATOM__Float);
    return &plug->Control(symbol);
  };
  return lilv_state_new_from_instance(mPlugin, mInstance, mHost.UridMap(), nullptr, nullptr,
                                      nullptr, nullptr, value, this, 0, mHost.Features());
}

void LilvPluginInstance::RestoreState(const LilvState* state)
{
  // lilv hands factory preset values over as floats, saved ports as well.
  auto set = [](const char* symbol, void* self, const void* value, uint32_t size, uint32_t type)
  {
    auto* plug = static_cast<LilvPluginInstance*>(self);
    if (type == plug->mHost.Map(LV2_ATOM__Float) && size == sizeof(float))
      std::memcpy(&plug->Control(symbol), value, sizeof(float));
  };
  lilv_state_restore(state, mInstance, set, this, 0, mHost.Features());
}
