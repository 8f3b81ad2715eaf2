#pragma once

#include <cstdint>

// Host identifiers as stored in the plugin base.
enum EHostId : int32_t
{
  HostUnidentified = -1,
  HostUnknown = 0,
  HostReaper = 1,
  HostProTools = 2,
  HostCubase = 3,
  HostNuendo = 4,
  HostCakewalk = 5,
  HostFruity = 7,
  HostSamplitude = 8,
  HostLive = 9,
  HostMelodyne = 12,
  HostVstManLib = 13,
  HostAULab = 14,
  HostForte = 15,
  HostChainer = 16,
  HostAudition = 17,
  HostOrion = 18,
  HostSawStudio = 20,
  HostLogic = 21,
  HostGarageBand = 22,
  HostDigitalPerformer = 23,
  HostStandalone = 24,
  HostAudioMulch = 25,
  HostPreSonus = 26,
  HostVst3TestHost = 27,
  HostArdour = 28,
};

// Identifies a host from its product name: the first of a fixed list of
// names contained anywhere in it, ignoring case. Only the first 255
// characters are looked at. Null or an unrecognised name gives HostUnknown.
// Pure; any thread.
int IdentifyHost(const char* hostName);
