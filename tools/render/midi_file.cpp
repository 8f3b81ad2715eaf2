#include "midi_file.h"

#include "utf8_file.h"

#include <algorithm>
#include <cstdio>

namespace
{

constexpr double kDefaultMicrosecondsPerQuarter = 500000.0; // 120 BPM until the file says otherwise
constexpr std::uintmax_t kMaxFileBytes = 64u * 1024u * 1024u;

std::string Hex(unsigned value)
{
  char text[16];
  std::snprintf(text, sizeof(text), "0x%02X", value);
  return text;
}

// A cursor over a byte range that never reads past its end.
class ByteReader
{
public:
  ByteReader(const uint8_t* begin, std::size_t size, std::size_t fileOffset)
      : mData(begin), mSize(size), mFileOffset(fileOffset)
  {
  }

  bool AtEnd() const { return mPosition >= mSize; }
  std::size_t Remaining() const { return mSize - mPosition; }
  std::size_t FileOffset() const { return mFileOffset + mPosition; }
  const uint8_t* Here() const { return mData + mPosition; }

  bool Byte(uint8_t* value)
  {
    if (AtEnd()) return false;
    *value = mData[mPosition++];
    return true;
  }
  bool BigEndian(int bytes, uint32_t* value)
  {
    if (Remaining() < std::size_t(bytes)) return false;
    uint32_t result = 0;
    for (int i = 0; i < bytes; ++i)
      result = (result << 8) | mData[mPosition++];
    *value = result;
    return true;
  }
  // A variable-length quantity: at most four bytes of seven bits each.
  bool VariableLength(uint32_t* value)
  {
    uint32_t result = 0;
    for (int i = 0; i < 4; ++i)
    {
      uint8_t byte = 0;
      if (!Byte(&byte)) return false;
      result = (result << 7) | (byte & 0x7F);
      if (!(byte & 0x80))
      {
        *value = result;
        return true;
      }
    }
    return false;
  }
  bool Skip(std::size_t count)
  {
    if (Remaining() < count) return false;
    mPosition += count;
    return true;
  }

private:
  const uint8_t* mData;
  std::size_t mSize;
  std::size_t mFileOffset;
  std::size_t mPosition = 0;
};

struct TickedMessage
{
  uint64_t tick;
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
};

struct TempoChange
{
  uint64_t tick;
  double microsecondsPerQuarter;
};

int DataBytesOf(uint8_t status)
{
  const int kind = status >> 4;
  return (kind == 0xC || kind == 0xD) ? 1 : 2;
}

class TrackParser
{
public:
  TrackParser(std::vector<TickedMessage>& messages, std::vector<TempoChange>& tempos,
              std::size_t& eventCount)
      : mMessages(messages), mTempos(tempos), mEventCount(eventCount)
  {
  }

  // Reads one track chunk's events; the track's last tick goes to *endTick.
  bool Parse(ByteReader reader, int trackNumber, uint64_t* endTick, std::string* error)
  {
    const std::string where = "track " + std::to_string(trackNumber + 1);
    uint64_t tick = 0;
    uint8_t runningStatus = 0;
    while (!reader.AtEnd())
    {
      if (++mEventCount > kMidiFileMaxEvents)
      {
        *error = "the file holds more than " + std::to_string(kMidiFileMaxEvents) + " events";
        return false;
      }
      uint32_t delta = 0;
      if (!reader.VariableLength(&delta))
        return Fail(error, where, reader, "has a broken or truncated delta time");
      tick += delta;

      uint8_t byte = 0;
      if (!reader.Byte(&byte)) return Fail(error, where, reader, "ends inside an event");
      uint8_t status = byte;
      bool firstDataConsumed = false;
      if (!(byte & 0x80))
      {
        if (!runningStatus)
          return Fail(error, where, reader, "has a data byte without a status byte");
        status = runningStatus;
        firstDataConsumed = true;
      }

      if (status < 0xF0)
      {
        runningStatus = status;
        uint8_t data[2] = {0, 0};
        const int count = DataBytesOf(status);
        int filled = 0;
        if (firstDataConsumed) data[filled++] = byte;
        for (; filled < count; ++filled)
          if (!reader.Byte(&data[filled]))
            return Fail(error, where, reader, "ends inside a channel message");
        if ((data[0] | data[1]) & 0x80)
          return Fail(error, where, reader, "has a channel message with a data byte above 127");
        mMessages.push_back(TickedMessage{tick, status, data[0], data[1]});
        continue;
      }

      // System messages cancel running status.
      runningStatus = 0;
      if (status == 0xFF)
      {
        uint8_t type = 0;
        uint32_t length = 0;
        if (!reader.Byte(&type) || !reader.VariableLength(&length) || reader.Remaining() < length)
          return Fail(error, where, reader, "ends inside a meta event");
        const uint8_t* payload = reader.Here();
        reader.Skip(length);
        if (type == 0x51)
        {
          if (length != 3) return Fail(error, where, reader, "has a tempo event of wrong length");
          const uint32_t micros =
              (uint32_t(payload[0]) << 16) | (uint32_t(payload[1]) << 8) | uint32_t(payload[2]);
          if (micros == 0) return Fail(error, where, reader, "sets a tempo of zero");
          mTempos.push_back(TempoChange{tick, double(micros)});
        }
        else if (type == 0x2F)
          break; // end of track: whatever follows in the chunk is not part of it
        continue;
      }
      if (status == 0xF0 || status == 0xF7)
      {
        uint32_t length = 0;
        if (!reader.VariableLength(&length) || !reader.Skip(length))
          return Fail(error, where, reader, "ends inside a system-exclusive message");
        continue;
      }
      return Fail(error, where, reader,
                  "has the status byte " + Hex(status) + ", which does not belong in a file");
    }
    *endTick = tick;
    return true;
  }

private:
  static bool Fail(std::string* error, const std::string& where, const ByteReader& reader,
                   const std::string& problem)
  {
    *error = where + " " + problem + " (near byte " + std::to_string(reader.FileOffset()) + ")";
    return false;
  }

  std::vector<TickedMessage>& mMessages;
  std::vector<TempoChange>& mTempos;
  std::size_t& mEventCount;
};

// Converts ticks to seconds through the tempo map (ticks per quarter note)
// or a fixed rate (time-code divisions).
class TickClock
{
public:
  TickClock(std::vector<TempoChange> tempos, double ticksPerQuarter, double ticksPerSecond)
      : mTempos(std::move(tempos)), mTicksPerQuarter(ticksPerQuarter),
        mTicksPerSecond(ticksPerSecond)
  {
    std::stable_sort(mTempos.begin(), mTempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    double seconds = 0.0;
    uint64_t tick = 0;
    double micros = kDefaultMicrosecondsPerQuarter;
    for (const TempoChange& change : mTempos)
    {
      seconds += SegmentSeconds(change.tick - tick, micros);
      mStartSeconds.push_back(seconds);
      tick = change.tick;
      micros = change.microsecondsPerQuarter;
    }
  }

  double Seconds(uint64_t tick) const
  {
    if (mTicksPerSecond > 0.0) return double(tick) / mTicksPerSecond;
    // The last tempo change at or before the tick.
    auto after = std::upper_bound(mTempos.begin(), mTempos.end(), tick,
                                  [](uint64_t t, const TempoChange& c) { return t < c.tick; });
    if (after == mTempos.begin()) return SegmentSeconds(tick, kDefaultMicrosecondsPerQuarter);
    const std::size_t index = std::size_t(after - mTempos.begin()) - 1;
    return mStartSeconds[index] +
           SegmentSeconds(tick - mTempos[index].tick, mTempos[index].microsecondsPerQuarter);
  }

private:
  double SegmentSeconds(uint64_t ticks, double microsPerQuarter) const
  {
    return double(ticks) / mTicksPerQuarter * microsPerQuarter * 1e-6;
  }

  std::vector<TempoChange> mTempos;
  std::vector<double> mStartSeconds;
  double mTicksPerQuarter;
  double mTicksPerSecond;
};

// Time-code division: frames per second from the high byte, ticks per frame
// from the low byte. 0 when the code is not one of the four standard rates.
double TimeCodeTicksPerSecond(uint16_t division)
{
  const int framesCode = -int(int8_t(division >> 8));
  const int ticksPerFrame = division & 0xFF;
  double frames = 0.0;
  switch (framesCode)
  {
  case 24:
  case 25:
  case 30:
    frames = framesCode;
    break;
  case 29:
    frames = 30000.0 / 1001.0; // drop-frame time code
    break;
  default:
    return 0.0;
  }
  return frames * ticksPerFrame;
}

} // namespace

bool ParseMidiFile(const std::vector<uint8_t>& bytes, MidiFileContents* contents,
                   std::string* error)
{
  ByteReader file(bytes.data(), bytes.size(), 0);
  uint32_t chunkType = 0;
  uint32_t headerLength = 0;
  if (!file.BigEndian(4, &chunkType) || chunkType != 0x4D546864) // "MThd"
  {
    *error = "not a standard MIDI file (it does not start with MThd)";
    return false;
  }
  uint32_t format = 0, trackCount = 0, division = 0;
  if (!file.BigEndian(4, &headerLength) || headerLength < 6 || file.Remaining() < headerLength ||
      !file.BigEndian(2, &format) || !file.BigEndian(2, &trackCount) ||
      !file.BigEndian(2, &division) || !file.Skip(headerLength - 6))
  {
    *error = "the MIDI file header is truncated or malformed";
    return false;
  }
  if (format > 1)
  {
    *error = "MIDI file format " + std::to_string(format) +
             " is not supported (only formats 0 and 1 are)";
    return false;
  }
  if (trackCount == 0)
  {
    *error = "the MIDI file has no tracks";
    return false;
  }
  double ticksPerQuarter = 0.0, ticksPerSecond = 0.0;
  if (division & 0x8000)
    ticksPerSecond = TimeCodeTicksPerSecond(uint16_t(division));
  else
    ticksPerQuarter = double(division);
  if (ticksPerQuarter <= 0.0 && ticksPerSecond <= 0.0)
  {
    *error = "the MIDI file's time division " + Hex(division) + " is invalid";
    return false;
  }

  std::vector<TickedMessage> messages;
  std::vector<TempoChange> tempos;
  std::size_t eventCount = 0;
  uint64_t endTick = 0;
  TrackParser parser(messages, tempos, eventCount);
  for (uint32_t track = 0; track < trackCount;)
  {
    uint32_t type = 0, length = 0;
    if (!file.BigEndian(4, &type) || !file.BigEndian(4, &length))
    {
      *error = "the MIDI file ends after " + std::to_string(track) + " of " +
               std::to_string(trackCount) + " tracks";
      return false;
    }
    if (file.Remaining() < length)
    {
      *error = "a chunk of the MIDI file is cut short (it claims " + std::to_string(length) +
               " bytes, " + std::to_string(file.Remaining()) + " remain)";
      return false;
    }
    ByteReader chunk(file.Here(), length, file.FileOffset());
    file.Skip(length);
    if (type != 0x4D54726B) continue; // not "MTrk": chunks of unknown kinds are skipped
    uint64_t trackEnd = 0;
    // Messages of a track are appended after those of earlier tracks, so a
    // stable sort by tick keeps the track order at equal ticks.
    if (!parser.Parse(chunk, int(track), &trackEnd, error)) return false;
    endTick = std::max(endTick, trackEnd);
    ++track;
  }

  std::stable_sort(messages.begin(), messages.end(),
                   [](const TickedMessage& a, const TickedMessage& b) { return a.tick < b.tick; });
  const TickClock clock(std::move(tempos), ticksPerQuarter, ticksPerSecond);
  contents->format = int(format);
  contents->trackCount = int(trackCount);
  contents->messages.clear();
  contents->messages.reserve(messages.size());
  for (const TickedMessage& m : messages)
    contents->messages.push_back(
        TimedMidiMessage{clock.Seconds(m.tick), m.status, m.data1, m.data2});
  contents->lengthSeconds = clock.Seconds(endTick);
  return true;
}

bool LoadMidiFile(const std::string& path, MidiFileContents* contents, std::string* error)
{
  UniqueFile file(OpenFileUtf8(path, "rb"));
  if (!file)
  {
    *error = "cannot open the MIDI file " + path;
    return false;
  }
  // Read up to one byte past the limit: a file that fills it is too large.
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0)
  {
    if (bytes.size() + count > kMaxFileBytes)
    {
      *error = "the MIDI file " + path + " is too large to be a MIDI file";
      return false;
    }
    bytes.insert(bytes.end(), buffer, buffer + count);
  }
  if (std::ferror(file.get()))
  {
    *error = "cannot read the MIDI file " + path;
    return false;
  }
  if (!ParseMidiFile(bytes, contents, error))
  {
    *error = path + ": " + *error;
    return false;
  }
  return true;
}
