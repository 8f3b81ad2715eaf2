#include "lilv_host.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>

#include <cstring>

LilvHost::LilvHost() : mWorld(lilv_world_new())
{
  lilv_world_load_all(mWorld);
  mMaxBlock = LilvPluginInstance::kMaxBlock;
  mOptions[0] = {
      LV2_OPTIONS_INSTANCE, 0,         Map(LV2_BUF_SIZE__maxBlockLength), sizeof mMaxBlock,
      Map(LV2_ATOM__Int),   &mMaxBlock};
}

LilvHost::~LilvHost()
{
  lilv_world_free(mWorld);
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
  auto [entry, added] = mUrids.emplace(uri, static_cast<LV2_URID>(mUrids.size() + 1));
  return entry->second;
}

LV2_URID LilvHost::MapUri(LV2_URID_Map_Handle handle, const char* uri)
{
  return static_cast<LilvHost*>(handle)->Map(uri);
}

LilvPluginInstance::LilvPluginInstance(LilvHost& host, const LilvPlugin* plugin, double sampleRate)
    : mHost(host), mPlugin(plugin), mSequence(8192)
{
  const uint32_t ports = lilv_plugin_get_num_ports(plugin);
  mControls.assign(ports, 0.0f);
  lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, mControls.data());
  for (auto& out : mOut)
    out.assign(kMaxBlock, 0.0f);
  mInstance = lilv_plugin_instantiate(plugin, sampleRate, host.Features());
  if (!mInstance) return;
  lilv_instance_connect_port(mInstance, 0, mSequence.data());
  lilv_instance_connect_port(mInstance, 1, mOut[0].data());
  lilv_instance_connect_port(mInstance, 2, mOut[1].data());
  for (uint32_t i = 3; i < ports; ++i)
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
  sequence->atom.type = mHost.Map(LV2_ATOM__Sequence);
  sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
  sequence->body.unit = 0;
  sequence->body.pad = 0;
  for (const MidiAt& message : midi)
  {
    auto* event = reinterpret_cast<LV2_Atom_Event*>(mSequence.data() + sizeof(LV2_Atom) +
                                                    lv2_atom_pad_size(sequence->atom.size));
    event->time.frames = message.frame;
    event->body.type = mHost.Map(LV2_MIDI__MidiEvent);
    event->body.size = static_cast<uint32_t>(message.bytes.size());
    std::memcpy(event + 1, message.bytes.data(), message.bytes.size());
    sequence->atom.size = lv2_atom_pad_size(sequence->atom.size) +
                          static_cast<uint32_t>(sizeof(LV2_Atom_Event) + message.bytes.size());
  }
  lilv_instance_run(mInstance, static_cast<uint32_t>(frames));
  for (int c = 0; c < 2; ++c)
    mRender[c].insert(mRender[c].end(), mOut[c].begin(), mOut[c].begin() + frames);
}

const void* LilvPluginInstance::PortValue(const char* symbol, void* self, uint32_t* size,
                                          uint32_t* type)
{
  auto* instance = static_cast<LilvPluginInstance*>(self);
  *size = sizeof(float);
  *type = instance->mHost.Map(LV2_ATOM__Float);
  return &instance->Control(symbol);
}

void LilvPluginInstance::SetPortValue(const char* symbol, void* self, const void* value,
                                      uint32_t size, uint32_t type)
{
  auto* instance = static_cast<LilvPluginInstance*>(self);
  float& port = instance->Control(symbol);
  if (type == instance->mHost.Map(LV2_ATOM__Float) && size == sizeof(float))
    std::memcpy(&port, value, sizeof port);
  else if (type == instance->mHost.Map(LV2_ATOM__Double) && size == sizeof(double))
    port = static_cast<float>(*static_cast<const double*>(value));
  else if (type == instance->mHost.Map(LV2_ATOM__Int) && size == sizeof(int32_t))
    port = static_cast<float>(*static_cast<const int32_t*>(value));
}

LilvState* LilvPluginInstance::SaveState()
{
  LV2_URID_Map* map = static_cast<LV2_URID_Map*>(mHost.Features()[0]->data);
  return lilv_state_new_from_instance(mPlugin, mInstance, map, nullptr, nullptr, nullptr, nullptr,
                                      &PortValue, this, 0, mHost.Features());
}

void LilvPluginInstance::RestoreState(const LilvState* state)
{
  lilv_state_restore(state, mInstance, &SetPortValue, this, 0, mHost.Features());
}
