#pragma once

// What the renderer plays: channel messages and parameter settings placed at
// sample frames, built from notes on the command line, a step pattern or a
// MIDI file.

#include "midi_file.h"

#include <cstdint>
#include <string>
#include <vector>

struct RenderEvent
{
  enum Kind
  {
    kParameter, // before messages of the same frame, so a note hears its sound's settings
    kMidi,
  };
  int64_t frame;
  Kind kind;
  // kMidi
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
  // kParameter
  int parameterId = 0;
  double value = 0.0;
};

struct NoteSpec
{
  int note;
  int velocity;
  double startSeconds;
  double lengthSeconds;
};

// A step pattern, one character a sixteenth note at tempo: 'X' a hit at
// velocity 127, 'x' a hit at 100, '.' or '-' a rest; spaces and '|' only
// separate. Each hit lasts one step. False with a sentence in *error for any
// other character or a pattern without steps.
bool PatternNotes(const std::string& pattern, int note, double tempo, int repeats,
                  std::vector<NoteSpec>* notes, std::string* error);

// Times beyond this are held here, so frame numbers always fit (a MIDI
// file's ticks can add up to absurd times).
constexpr double kLatestEventSeconds = 1e9;

// The frame of a time: negative and not-a-number times are frame 0.
int64_t SecondsToFrame(double seconds, double sampleRate);

// Note-on and note-off messages on MIDI channel 1.
void AddNoteEvents(const std::vector<NoteSpec>& notes, double sampleRate,
                   std::vector<RenderEvent>* events);

// The file's channel messages. With channel 1 … 16 only that channel is
// kept; with 0 every channel is kept. Either way they are moved to channel
// 1, the channel the instrument listens on.
void AddMidiFileEvents(const MidiFileContents& file, int channel, double sampleRate,
                       std::vector<RenderEvent>* events);

// Orders events by frame; parameters before messages at the same frame,
// otherwise the order they were added in.
void SortEvents(std::vector<RenderEvent>* events);
