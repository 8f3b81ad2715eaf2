#include "host_identify.h"

#include <cstring>

namespace
{
struct HostPattern
{
  const char* mSubstring;
  EHostId mHost;
};

// Order matters: names that contain several patterns take the first.
constexpr HostPattern kHostPatterns[] = {
    {"cubase", HostCubase},
    {"reaper", HostReaper},
    {"nuendo", HostNuendo},
    {"cakewalk", HostCakewalk},
    {"samplitude", HostSamplitude},
    {"fruity", HostFruity},
    {"live", HostLive},
    {"melodyne", HostMelodyne},
    {"vstmanlib", HostVstManLib},
    {"aulab", HostAULab},
    {"garageband", HostGarageBand},
    {"forte", HostForte},
    {"chainer", HostChainer},
    {"audition", HostAudition},
    {"orion", HostOrion},
    {"sawstudio", HostSawStudio},
    {"logic", HostLogic},
    {"digital", HostDigitalPerformer},
    {"audiomulch", HostAudioMulch},
    {"presonus", HostPreSonus},
    {"vst3plugintesthost", HostVst3TestHost},
    {"protools", HostProTools},
    {"ardour", HostArdour},
    {"standalone", HostStandalone},
};

constexpr int kNameBufferSize = 256;
} // namespace

int IdentifyHost(const char* hostName)
{
  if (!hostName) return HostUnknown;
  // Lower-cased by hand so the process locale plays no part.
  char lowered[kNameBufferSize];
  int length = 0;
  for (; length < kNameBufferSize - 1 && hostName[length] != '\0'; ++length)
  {
    const char c = hostName[length];
    lowered[length] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  lowered[length] = '\0';

  for (const HostPattern& pattern : kHostPatterns)
  {
    if (std::strstr(lowered, pattern.mSubstring)) return pattern.mHost;
  }
  return HostUnknown;
}
