#include "render_options.h"

#include "parameter_lookup.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>

namespace
{

// One value per note, or a single value for all of them, or none (the
// fallback).
bool PerNote(const std::vector<double>& values, std::size_t note, double fallback,
             std::size_t noteCount, const char* name, double* result, std::string* error)
{
  if (values.empty())
    *result = fallback;
  else if (values.size() == 1)
    *result = values[0];
  else if (values.size() == noteCount)
    *result = values[note];
  else
  {
    *error = std::string("give ") + name + " once, or once for every --note";
    return false;
  }
  return true;
}

bool ParseTimedAssignment(const std::string& text, TimedAssignment* assignment)
{
  const auto colon = text.find(':');
  if (colon == std::string::npos) return false;
  char* end = nullptr;
  const std::string time = text.substr(0, colon);
  assignment->seconds = std::strtod(time.c_str(), &end);
  if (time.empty() || end != time.c_str() + time.size() || !(assignment->seconds >= 0.0))
    return false;
  return SplitAssignment(text.substr(colon + 1), &assignment->key, &assignment->value);
}

} // namespace

int ParseRenderOptions(int argc, char** argv, RenderOptions* options)
{
  CLI::App app{"thudwerk-render: plays notes or a MIDI file through a Thudwerk plug-in (VST3, "
               "CLAP or VST2) and writes a WAV file and a picture of the sound.",
               "thudwerk-render"};
  // Paths start with '/' under Wine and elsewhere: never options.
  app.allow_windows_style_options(false);
  std::vector<int> noteNumbers;
  std::vector<double> velocities, lengths, starts;
  std::string pattern;
  int patternNote = 36, repeats = 1;
  std::vector<std::string> params, timedParams;
  std::string precision = "64", wavFormat = "float";

  app.add_option("plugin", options->pluginPath,
                 "the plug-in: a .vst3 bundle or module, a .clap, or a VST2 binary (.so, .dll)")
      ->required();
  app.add_option("-o,--output", options->wavPath, "the WAV file to write")->capture_default_str();
  app.add_option("--picture", options->picturePath,
                 "the PNG picture to write (default: the WAV path ending in .png)");
  app.add_flag(
      "--no-picture", [options](int64_t) { options->drawPicture = false; }, "write no picture");
  app.add_flag("--spectrogram", options->spectrogram, "add a spectrogram to the picture");
  app.add_option("--editor-picture", options->editorPicturePath,
                 "also write a PNG picture of the plug-in's editor as it shows after the sound");
  app.add_flag("--list-params", options->listParameters, "print the plug-in's parameters and exit");
  app.add_option("--note", noteNumbers, "play a note (0-127); repeatable")
      ->check(CLI::Range(0, 127));
  app.add_option("--velocity", velocities, "velocity of the notes (1-127), once or per note")
      ->check(CLI::Range(1.0, 127.0));
  app.add_option("--length", lengths, "length of the notes in seconds, once or per note")
      ->check(CLI::PositiveNumber);
  app.add_option("--at", starts,
                 "start of the notes in seconds, once or per note (default: one beat apart)")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--pattern", pattern,
                 "a step pattern, one sixteenth a character: X loud hit, x hit, . rest");
  app.add_option("--pattern-note", patternNote, "the note the pattern plays")
      ->check(CLI::Range(0, 127))
      ->capture_default_str();
  app.add_option("--repeat", repeats, "how often the pattern is played")
      ->check(CLI::Range(1, 1000))
      ->capture_default_str();
  app.add_option("--midi", options->midiPath, "a standard MIDI file (format 0 or 1) to play");
  app.add_option("--midi-channel", options->midiChannel,
                 "play only this channel of the MIDI file (1-16; 0 plays all)")
      ->check(CLI::Range(0, 16))
      ->capture_default_str();
  app.add_option("--param", params,
                 "set a parameter before playing, NAME=VALUE or INDEX=VALUE in the parameter's "
                 "own units; repeatable");
  app.add_option("--set", timedParams, "set a parameter at a time, SECONDS:NAME=VALUE; repeatable");
  app.add_option("--rate", options->sampleRate, "sample rate in Hz")
      ->check(CLI::Range(8000.0, 384000.0))
      ->capture_default_str();
  app.add_option("--block", options->blockFrames, "largest block size in frames")
      ->check(CLI::Range(1, 8192))
      ->capture_default_str();
  app.add_option("--precision", precision, "processing precision in bits: 32 or 64")
      ->check(CLI::IsMember({"32", "64"}))
      ->capture_default_str();
  app.add_option("--wav-format", wavFormat, "WAV sample format: float, pcm16 or pcm24")
      ->check(CLI::IsMember({"float", "pcm16", "pcm24"}))
      ->capture_default_str();
  app.add_option("--tempo", options->tempo, "tempo in beats per minute for the host and pattern")
      ->check(CLI::Range(1.0, 1000.0))
      ->capture_default_str();
  app.add_option("--tail", options->tailSeconds, "seconds rendered after the last event")
      ->check(CLI::Range(0.0, 600.0))
      ->capture_default_str();
  app.add_option("--duration", options->durationSeconds,
                 "total length in seconds (instead of the last event plus the tail)")
      ->check(CLI::Range(0.0, 3600.0));
  app.footer("Exit codes: 0 done, 2 wrong command line, 3 unusable MIDI file or pattern, "
             "4 plug-in failure, 5 output not written.");

  try
  {
    app.parse(argc, argv);
  }
  catch (const CLI::ParseError& e)
  {
    const int code = app.exit(e);
    return code == 0 ? kExitSuccess : kExitUsage;
  }

  // The range checks let not-a-number through.
  std::vector<double> numbers{options->sampleRate, options->tempo, options->tailSeconds,
                              options->durationSeconds};
  for (const auto* list : {&velocities, &lengths, &starts})
    numbers.insert(numbers.end(), list->begin(), list->end());
  if (!std::all_of(numbers.begin(), numbers.end(), [](double x) { return std::isfinite(x); }))
  {
    std::cerr << "thudwerk-render: every number on the command line must be finite\n";
    return kExitUsage;
  }

  options->doublePrecision = precision == "64";
  const std::map<std::string, WavSampleFormat> formats{{"float", WavSampleFormat::Float32},
                                                       {"pcm16", WavSampleFormat::Pcm16},
                                                       {"pcm24", WavSampleFormat::Pcm24}};
  options->wavFormat = formats.at(wavFormat);
  if (options->picturePath.empty())
  {
    const auto dot = options->wavPath.find_last_of('.');
    const auto slash = options->wavPath.find_last_of("/\\");
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    options->picturePath =
        (hasExtension ? options->wavPath.substr(0, dot) : options->wavPath) + ".png";
  }

  std::string error;
  const double beat = 60.0 / options->tempo;
  for (std::size_t i = 0; i < noteNumbers.size(); ++i)
  {
    double velocity = 0.0, length = 0.0, start = 0.0;
    if (!PerNote(velocities, i, 100.0, noteNumbers.size(), "--velocity", &velocity, &error) ||
        !PerNote(lengths, i, 0.25, noteNumbers.size(), "--length", &length, &error) ||
        !PerNote(starts, i, double(i) * beat, noteNumbers.size(), "--at", &start, &error))
    {
      std::cerr << "thudwerk-render: " << error << "\n";
      return kExitUsage;
    }
    options->notes.push_back(NoteSpec{noteNumbers[i], int(velocity), start, length});
  }
  if (!pattern.empty() &&
      !PatternNotes(pattern, patternNote, options->tempo, repeats, &options->notes, &error))
  {
    std::cerr << "thudwerk-render: " << error << "\n";
    return kExitInput;
  }
  for (const std::string& text : params)
  {
    TimedAssignment assignment{0.0, "", 0.0};
    if (!SplitAssignment(text, &assignment.key, &assignment.value))
    {
      std::cerr << "thudwerk-render: --param wants NAME=VALUE with a number, not " << text << "\n";
      return kExitUsage;
    }
    options->assignments.push_back(assignment);
  }
  for (const std::string& text : timedParams)
  {
    TimedAssignment assignment{0.0, "", 0.0};
    if (!ParseTimedAssignment(text, &assignment))
    {
      std::cerr << "thudwerk-render: --set wants SECONDS:NAME=VALUE, not " << text << "\n";
      return kExitUsage;
    }
    options->assignments.push_back(assignment);
  }
  if (!options->listParameters && options->notes.empty() && options->midiPath.empty())
  {
    std::cerr << "thudwerk-render: nothing to play: give --note, --pattern or --midi "
                 "(--help lists the options)\n";
    return kExitUsage;
  }
  return -1;
}
