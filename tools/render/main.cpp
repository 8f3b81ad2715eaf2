// thudwerk-render: the command-line host. Loads a built plug-in, plays notes,
// a pattern or a MIDI file through it offline and writes a WAV file and a
// picture of the sound.

#include "editor_picture.h"
#include "midi_file.h"
#include "parameter_lookup.h"
#include "plugin_instance.h"
#include "program_arguments.h"
#include "render_events.h"
#include "render_options.h"
#include "render_session.h"
#include "sound_picture.h"
#include "wav_writer.h"

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <new>

namespace
{

std::string Absolute(const std::string& path)
{
  std::error_code ignored;
  const std::filesystem::path absolute =
      std::filesystem::absolute(std::filesystem::u8path(path), ignored);
  return absolute.empty() ? path : absolute.lexically_normal().u8string();
}

int Fail(int code, const std::string& message)
{
  std::cerr << "thudwerk-render: " << message << "\n";
  return code;
}

int Run(int argc, char** argv)
{
  std::vector<std::string> arguments = ProgramArguments(argc, argv);
  std::vector<char*> argumentPointers;
  for (std::string& argument : arguments)
    argumentPointers.push_back(&argument[0]);
  RenderOptions options;
  const int parsed =
      ParseRenderOptions(int(argumentPointers.size()), argumentPointers.data(), &options);
  if (parsed >= 0) return parsed;

  std::string error;
  MidiFileContents midi;
  if (!options.midiPath.empty() && !LoadMidiFile(options.midiPath, &midi, &error))
    return Fail(kExitInput, error);

  PluginSettings settings;
  settings.sampleRate = options.sampleRate;
  settings.maxBlockFrames = options.blockFrames;
  settings.doublePrecision = options.doublePrecision;
  std::unique_ptr<PluginInstance> plugin = OpenPlugin(options.pluginPath, settings, &error);
  if (!plugin) return Fail(kExitPlugin, error);

  const std::vector<PluginParameter> parameters = plugin->Parameters();
  if (options.listParameters)
  {
    for (const PluginParameter& parameter : parameters)
      std::cout << parameter.id << "\t" << parameter.name << "\n";
    return kExitSuccess;
  }

  std::vector<RenderEvent> events;
  for (const TimedAssignment& assignment : options.assignments)
  {
    RenderEvent event{SecondsToFrame(assignment.seconds, options.sampleRate),
                      RenderEvent::kParameter};
    if (!LookUpParameter(parameters, assignment.key, &event.parameterId, &error))
      return Fail(kExitUsage, error);
    event.value = assignment.value;
    events.push_back(event);
  }
  AddNoteEvents(options.notes, options.sampleRate, &events);
  AddMidiFileEvents(midi, options.midiChannel, options.sampleRate, &events);
  SortEvents(&events);

  int64_t lastFrame = SecondsToFrame(midi.lengthSeconds, options.sampleRate);
  for (const RenderEvent& event : events)
    lastFrame = std::max(lastFrame, event.frame);
  const int64_t totalFrames =
      options.durationSeconds > 0.0
          ? SecondsToFrame(options.durationSeconds, options.sampleRate)
          : lastFrame + SecondsToFrame(options.tailSeconds, options.sampleRate) + 1;
  if (totalFrames > SecondsToFrame(3600.0, options.sampleRate))
    return Fail(kExitInput, "the sound would be longer than an hour; give --duration");

  std::vector<std::vector<double>> sound;
  int undelivered = 0;
  if (!RenderSound(*plugin, events, totalFrames, options.blockFrames, options.tempo, &sound,
                   &undelivered, &error))
    return Fail(kExitPlugin, error);
  if (undelivered > 0)
    std::cerr << "thudwerk-render: " << undelivered << " MIDI messages other than notes were not "
              << "played: a " << plugin->FormatName() << " plug-in receives notes only\n";

  if (!WriteWavFile(options.wavPath, sound, int(options.sampleRate), options.wavFormat, &error))
    return Fail(kExitOutput, error);
  std::cout << "Rendered " << std::fixed << std::setprecision(3)
            << double(totalFrames) / options.sampleRate << " s through the " << plugin->FormatName()
            << " plug-in " << options.pluginPath << "\n";
  std::cout << "WAV:     " << Absolute(options.wavPath) << "\n";
  if (options.drawPicture)
  {
    PictureOptions picture;
    picture.spectrogram = options.spectrogram;
    picture.title = std::filesystem::u8path(options.wavPath).filename().u8string() + " (" +
                    plugin->FormatName() + ", " + (options.doublePrecision ? "64" : "32") + "-bit)";
    if (!SaveSoundPicture(options.picturePath, sound, options.sampleRate, picture, &error))
      return Fail(kExitOutput, error);
    std::cout << "Picture: " << Absolute(options.picturePath) << "\n";
  }
  if (!options.editorPicturePath.empty())
  {
    if (!SaveEditorPicture(*plugin, options.editorPicturePath, &error))
      return Fail(kExitOutput, error);
    std::cout << "Editor:  " << Absolute(options.editorPicturePath) << "\n";
  }
  return kExitSuccess;
}

} // namespace

int main(int argc, char** argv)
{
  try
  {
    return Run(argc, argv);
  }
  catch (const std::bad_alloc&)
  {
    return Fail(kExitOutput, "out of memory");
  }
}
