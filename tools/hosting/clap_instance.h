#pragma once

#include "clap_abi.h"

#include <cstdint>
#include <memory>
#include <string>

class ClapHost;
class ClapInputEvents;
class ClapModule;
class ClapOutputEvents;

// One process call on a stereo output, singles when given, else doubles,
// with the calling thread in the host's audio role for its duration.
clap_process_status ProcessClapPlugin(ClapHost& host, const clap_plugin_t* plugin, uint32_t frames,
                                      float** singles, double** doubles, const ClapInputEvents& in,
                                      ClapOutputEvents& out, int64_t steadyTime,
                                      const clap_event_transport_t* transport = nullptr);

// One plug-in of a loaded module, created for a host and initialized; its
// destruction stops processing, deactivates and destroys it. Main-thread
// calls come from the caller's thread; the audio-thread calls (processing,
// reset) give the calling thread the host's audio role for their duration.
class ClapInstance
{
public:
  // The plug-in with that id (the factory's first descriptor when null), or
  // null with a reason in *error.
  static std::unique_ptr<ClapInstance> Create(const ClapModule& module, ClapHost& host,
                                              const char* pluginId, std::string* error);
  static std::unique_ptr<ClapInstance> Create(const clap_plugin_factory_t* factory, ClapHost& host,
                                              const char* pluginId, std::string* error);
  // The first plug-in of an entry linked into the program, after the
  // entry's init: its deinit is the caller's, once the instance is gone.
  // Null, with the entry as it was, when a step fails.
  static std::unique_ptr<ClapInstance> CreateLinked(const clap_plugin_entry_t& entry,
                                                    ClapHost& host, std::string* error);
  ~ClapInstance();
  ClapInstance(const ClapInstance&) = delete;
  ClapInstance& operator=(const ClapInstance&) = delete;

  const clap_plugin_t* Plugin() const { return mPlugin; }
  template <typename Extension>
  const Extension* Get(const char* id) const
  {
    return static_cast<const Extension*>(mPlugin->get_extension(mPlugin, id));
  }

  bool Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
  void Deactivate();
  bool StartProcessing();
  void StopProcessing();
  void Reset();
  bool IsActive() const { return mActive; }

  // One process call on a stereo output in double or single precision;
  // steady time advances by the frames.
  clap_process_status Process(uint32_t frames, double* left, double* right,
                              const ClapInputEvents& in, ClapOutputEvents& out);
  clap_process_status Process(uint32_t frames, float* left, float* right, const ClapInputEvents& in,
                              ClapOutputEvents& out);

private:
  ClapInstance(ClapHost& host, const clap_plugin_t* plugin) : mHost(host), mPlugin(plugin) {}
  clap_process_status Run(uint32_t frames, float** singles, double** doubles,
                          const ClapInputEvents& in, ClapOutputEvents& out);

  ClapHost& mHost;
  const clap_plugin_t* mPlugin;
  bool mActive = false;
  bool mProcessing = false;
  int64_t mSteadyTime = 0;
};
