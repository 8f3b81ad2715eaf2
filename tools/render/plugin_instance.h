#pragma once

// A plug-in loaded and started for offline rendering, whatever its format.
// Everything runs on the caller's thread, which acts as both the host's
// audio and user-interface thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct PluginSettings
{
  double sampleRate = 44100.0;
  int maxBlockFrames = 1024;
  bool doublePrecision = false; // 64-bit processing instead of 32-bit
};

struct PluginParameter
{
  int id;           // the index (VST2) or parameter id (VST3, CLAP) the host addresses it by
  std::string name; // as the plug-in reports it (VST2 names are cut to 7 characters)
};

// The host's transport for one block.
struct BlockTransport
{
  int64_t samplePosition = 0;
  double tempo = 120.0;
};

class PluginInstance
{
public:
  virtual ~PluginInstance() = default;

  virtual std::string FormatName() const = 0;
  virtual std::vector<PluginParameter> Parameters() = 0;

  // Sets a parameter to a value in its own units (not normalized); it takes
  // effect from the next Process. False when the plug-in refuses.
  virtual bool SetParameter(int id, double plainValue) = 0;

  // A channel message delivered at the start of the next Process. False
  // when the format cannot carry it (VST3 carries notes only).
  virtual bool QueueMidi(uint8_t status, uint8_t data1, uint8_t data2) = 0;

  // Renders frames (1 … maxBlockFrames) into left and right.
  virtual bool Process(int frames, const BlockTransport& transport, double* left, double* right,
                       std::string* error) = 0;

  // The editor, as a host shows it: its size, opening it inside a parent
  // window of the platform's kind, the idle call hosts make, closing.
  virtual bool EditorSize(int& width, int& height) = 0;
  virtual bool OpenEditor(void* parentWindow) = 0;
  virtual void IdleEditor() = 0;
  virtual void CloseEditor() = 0;
};

// Loads the plug-in at path: a .vst3 module or bundle, a .clap, or a VST2
// binary (.so or .dll); null with a sentence in *error when it cannot be loaded or
// started.
std::unique_ptr<PluginInstance> OpenPlugin(const std::string& path, const PluginSettings& settings,
                                           std::string* error);

// The format-specific openers OpenPlugin chooses from.
std::unique_ptr<PluginInstance> OpenVst2Plugin(const std::string& path,
                                               const PluginSettings& settings, std::string* error);
std::unique_ptr<PluginInstance> OpenVst3Plugin(const std::string& path,
                                               const PluginSettings& settings, std::string* error);
std::unique_ptr<PluginInstance> OpenClapPlugin(const std::string& path,
                                               const PluginSettings& settings, std::string* error);
