#pragma once

#include "render_events.h"
#include "wav_writer.h"

#include <string>
#include <vector>

// Exit codes of thudwerk-render.
enum RenderExitCode : int
{
  kExitSuccess = 0,
  kExitUsage = 2,  // the command line is wrong
  kExitInput = 3,  // the MIDI file or the pattern cannot be used
  kExitPlugin = 4, // the plug-in cannot be loaded, refuses a setting or fails to process
  kExitOutput = 5, // the WAV file or the picture cannot be written
};

struct TimedAssignment
{
  double seconds;
  std::string key; // parameter name or number
  double value;    // in the parameter's own units
};

struct RenderOptions
{
  std::string pluginPath;
  std::string wavPath = "thudwerk-render.wav";
  std::string picturePath;       // empty: the WAV path with ".png"
  std::string editorPicturePath; // empty: no picture of the editor
  bool drawPicture = true;
  bool spectrogram = false;
  bool listParameters = false;

  std::vector<NoteSpec> notes; // from --note and the pattern
  std::string midiPath;
  int midiChannel = 0;                      // 0: all channels
  std::vector<TimedAssignment> assignments; // --param at 0 s, then --set in order

  double sampleRate = 44100.0;
  int blockFrames = 1024;
  bool doublePrecision = true;
  WavSampleFormat wavFormat = WavSampleFormat::Float32;
  double tempo = 120.0;
  double tailSeconds = 1.0;
  double durationSeconds = 0.0; // 0: last event plus the tail
};

// Reads the command line. Returns -1 when rendering should go ahead,
// otherwise the exit code (0 after --help, kExitUsage or kExitInput after an
// error, which has been printed).
int ParseRenderOptions(int argc, char** argv, RenderOptions* options);
