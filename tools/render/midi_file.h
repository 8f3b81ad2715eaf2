#pragma once

// Standard MIDI files (format 0 and 1) read into channel messages placed in
// seconds. Every length and count in the file is checked before it is used:
// a truncated or hostile file gives an error text, never a crash or an
// unbounded allocation.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One channel message (status 0x80 … 0xEF) at its time in the file.
struct TimedMidiMessage
{
  double seconds;
  uint8_t status;
  uint8_t data1;
  uint8_t data2; // 0 for the one-data-byte kinds (program change, channel pressure)
};

struct MidiFileContents
{
  int format = 0;
  int trackCount = 0;
  // Channel messages of every track, ordered by time; messages at the same
  // tick keep the order of their tracks, and inside a track, of the file.
  std::vector<TimedMidiMessage> messages;
  // The time of the last event of the longest track (end-of-track included).
  double lengthSeconds = 0.0;
};

// The most events a file may hold; more is treated as hostile.
constexpr std::size_t kMidiFileMaxEvents = 4u * 1024u * 1024u;

// Parses the bytes of a file. On failure returns false with a sentence for
// the user in *error. Format 2 (independent sequences) is refused.
bool ParseMidiFile(const std::vector<uint8_t>& bytes, MidiFileContents* contents,
                   std::string* error);

// Reads and parses the file at path.
bool LoadMidiFile(const std::string& path, MidiFileContents* contents, std::string* error);
