#pragma once

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A small LV2 host on lilv, as hosts load plug-ins: the world from
// LV2_PATH, a URI map and the maximum block length as features. Each
// instance has a buffer per port; control ports start at their defaults.
// Single-threaded.
class LilvHost
{
public:
  static constexpr int kMaxBlock = 512;
  LilvHost();
  ~LilvHost() { lilv_world_free(mWorld); }
  LilvHost(const LilvHost&) = delete;
  LilvHost& operator=(const LilvHost&) = delete;

  // The plug-in of that URI from LV2_PATH, or null.
  const LilvPlugin* Plugin(const char* uri) const;
  LV2_URID Map(const char* uri);
  LilvWorld* World() const { return mWorld; }
  LV2_URID_Map* UridMap() { return &mMap; }
  const LV2_Feature* const* Features() const { return mFeatures; }

private:
  LilvWorld* mWorld;
  std::map<std::string, LV2_URID> mUrids;
  LV2_URID_Map mMap;
  int32_t mMaxBlock = kMaxBlock;
  LV2_Options_Option mOptions[2]{};
  LV2_Feature mMapFeature{LV2_URID__map, &mMap};
  LV2_Feature mOptionsFeature{LV2_OPTIONS__options, mOptions};
  const LV2_Feature* mFeatures[3] = {&mMapFeature, &mOptionsFeature, nullptr};
};

// A MIDI message at a frame of the next block.
struct MidiAt
{
  int64_t frame;
  std::vector<uint8_t> bytes;
};

class LilvPluginInstance
{
public:
  LilvPluginInstance(LilvHost& host, const LilvPlugin* plugin, double sampleRate);
  ~LilvPluginInstance();

  LilvInstance* Instance() const { return mInstance; }
  float& Control(uint32_t port) { return mControls.at(port); }
  float& Control(const char* symbol);
  // Runs one block and appends its left channel to the render.
  void Run(int frames, const std::vector<MidiAt>& midi = {});
  const std::vector<float>& Render() const { return mRender; }
  // lilv's state of the instance and its ports, and its restore.
  LilvState* SaveState();
  void RestoreState(const LilvState* state);

private:
  LilvHost& mHost;
  const LilvPlugin* mPlugin;
  LilvInstance* mInstance = nullptr;
  std::vector<float> mControls;
  std::vector<uint64_t> mSequence;
  std::vector<float> mOut[2];
  std::vector<float> mRender;
};
