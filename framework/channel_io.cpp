#include "channel_io.h"

#include <climits>
#include <cstdlib>
#include <cstring>

// Reads a decimal int at text the way "%d" does; 0 (and *end = text) when
// there is none. Out-of-range numbers saturate.
static int ReadCount(const char* text, const char** end)
{
  char* stop = nullptr;
  const long value = std::strtol(text, &stop, 10);
  *end = stop;
  if (stop == text) return 0;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::vector<ChannelIO> ParseChannelIO(const char* text)
{
  std::vector<ChannelIO> configurations;
  const char* p = text ? text : "";
  while (true)
  {
    ChannelIO io;
    const char* end = p;
    io.mInputs = ReadCount(p, &end);
    if (end != p && *end == '-')
    {
      const char* outputsText = end + 1;
      io.mOutputs = ReadCount(outputsText, &end);
    }
    configurations.push_back(io);
    const char* space = std::strchr(p, ' ');
    if (!space) break;
    p = space + 1;
  }
  return configurations;
}

bool MatchesChannelIO(const std::vector<ChannelIO>& configurations, int inputs, int outputs)
{
  for (const ChannelIO& io : configurations)
  {
    if ((inputs < 0 || inputs == io.mInputs) && (outputs < 0 || outputs == io.mOutputs))
      return true;
  }
  return false;
}
