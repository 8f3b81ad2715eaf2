// The standard MIDI file reader of thudwerk-render on arbitrary bytes: an
// error text, or channel messages in time order with finite times.

#include "midi_file.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  MidiFileContents contents;
  std::string error;
  if (!ParseMidiFile(std::vector<uint8_t>(data, data + size), &contents, &error))
  {
    if (error.empty()) std::abort();
    return 0;
  }
  double last = 0.0;
  for (const TimedMidiMessage& message : contents.messages)
  {
    if (!std::isfinite(message.seconds) || message.seconds < last || message.status < 0x80 ||
        message.status > 0xEF)
      std::abort();
    last = message.seconds;
  }
  if (contents.messages.size() > kMidiFileMaxEvents) std::abort();
  return 0;
}
