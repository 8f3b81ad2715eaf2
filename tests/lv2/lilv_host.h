#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A small LV2 host on lilv, as hosts load plug-ins: the world from
// LV2_PATH, the URI map and the block-length options as features, one
// buffer per port. Single-threaded.
class LilvHost
{
public:
  LilvHost();
  ~LilvHost();
  LilvHost(const LilvHost&) = delete;
  LilvHost& operator=(const LilvHost&) = delete;

  // The plug-in of that URI from LV2_PATH, or null.
  const LilvPlugin* Plugin(const char* uri) const;
  LV2_URID Map(const char* uri);
  LilvWorld* World() const { return mWorld; }
  const LV2_Feature* const* Features() const { return mFeatures; }

private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);

  LilvWorld* mWorld = nullptr;
  std::map<std::string, LV2_URID> mUrids;
  LV2_URID_Map mMap{this, &LilvHost::MapUri};
  int32_t mMaxBlock = 0;
  LV2_Options_Option mOptions[2]{};
  LV2_Feature mMapFeature{LV2_URID__map, &mMap};
  LV2_Feature mOptionsFeature{LV2_OPTIONS__options, mOptions};
  const LV2_Feature* mFeatures[3] = {&mMapFeature, &mOptionsFeature, nullptr};
};

// A MIDI message for the next block, at a frame of it.
struct MidiAt
{
  int64_t frame;
  std::vector<uint8_t> bytes;
};

// One instance with its port buffers: control ports start at their
// defaults, the atom input holds the block's MIDI.
class LilvPluginInstance
{
public:
  static constexpr int kMaxBlock = 512;
  LilvPluginInstance(LilvHost& host, const LilvPlugin* plugin, double sampleRate);
  ~LilvPluginInstance();

  bool Valid() const { return mInstance != nullptr; }
  // The control port of that symbol.
  float& Control(const char* symbol);
  // Runs one block; its stereo output is appended to the render.
  void Run(int frames, const std::vector<MidiAt>& midi = {});
  const std::vector<float>& Render(int channel) const { return mRender[channel]; }

  LilvState* SaveState();
  void RestoreState(const LilvState* state);
  LilvInstance* Instance() const { return mInstance; }

private:
  static const void* PortValue(const char* symbol, void* self, uint32_t* size, uint32_t* type);
  static void SetPortValue(const char* symbol, void* self, const void* value, uint32_t size,
                           uint32_t type);

  LilvHost& mHost;
  const LilvPlugin* mPlugin;
  LilvInstance* mInstance = nullptr;
  std::vector<float> mControls;
  std::vector<uint8_t> mSequence;
  std::vector<float> mOut[2];
  std::vector<float> mRender[2];
};
