#include "render_events.h"

#include <algorithm>
#include <cmath>

bool PatternNotes(const std::string& pattern, int note, double tempo, int repeats,
                  std::vector<NoteSpec>* notes, std::string* error)
{
  const double stepSeconds = 60.0 / tempo / 4.0;
  std::vector<int> velocities; // 0 for a rest
  for (char c : pattern)
  {
    if (c == ' ' || c == '|') continue;
    if (c == 'X')
      velocities.push_back(127);
    else if (c == 'x')
      velocities.push_back(100);
    else if (c == '.' || c == '-')
      velocities.push_back(0);
    else
    {
      *error =
          std::string("the pattern may hold only X, x, '.', '-', '|' and spaces, not '") + c + "'";
      return false;
    }
  }
  if (velocities.empty())
  {
    *error = "the pattern has no steps";
    return false;
  }
  for (int r = 0; r < repeats; ++r)
    for (std::size_t step = 0; step < velocities.size(); ++step)
      if (velocities[step] > 0)
      {
        const double start = double(r * velocities.size() + step) * stepSeconds;
        notes->push_back(NoteSpec{note, velocities[step], start, stepSeconds});
      }
  return true;
}

int64_t SecondsToFrame(double seconds, double sampleRate)
{
  if (!(seconds > 0.0) || !(sampleRate > 0.0)) return 0;
  return std::llround(std::min(seconds, kLatestEventSeconds) * sampleRate);
}

void AddNoteEvents(const std::vector<NoteSpec>& notes, double sampleRate,
                   std::vector<RenderEvent>* events)
{
  for (const NoteSpec& played : notes)
  {
    RenderEvent on{SecondsToFrame(played.startSeconds, sampleRate), RenderEvent::kMidi};
    on.status = 0x90;
    on.data1 = uint8_t(played.note);
    on.data2 = uint8_t(played.velocity);
    RenderEvent off{SecondsToFrame(played.startSeconds + played.lengthSeconds, sampleRate),
                    RenderEvent::kMidi};
    off.status = 0x80;
    off.data1 = uint8_t(played.note);
    events->push_back(on);
    events->push_back(off);
  }
}

void AddMidiFileEvents(const MidiFileContents& file, int channel, double sampleRate,
                       std::vector<RenderEvent>* events)
{
  for (const TimedMidiMessage& message : file.messages)
  {
    if (channel > 0 && (message.status & 0x0F) != channel - 1) continue;
    RenderEvent event{SecondsToFrame(message.seconds, sampleRate), RenderEvent::kMidi};
    event.status = uint8_t(message.status & 0xF0);
    event.data1 = message.data1;
    event.data2 = message.data2;
    events->push_back(event);
  }
}

void SortEvents(std::vector<RenderEvent>* events)
{
  std::stable_sort(events->begin(), events->end(),
                   [](const RenderEvent& a, const RenderEvent& b)
                   { return a.frame != b.frame ? a.frame < b.frame : a.kind < b.kind; });
}
