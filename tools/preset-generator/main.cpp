// Writes the factory preset files. The sounds are chosen by ear from what
// the engine does with each parameter:
//   BassPitchAmt   body peak 50 + 450 x value Hz (low = deep, 808-like)
//   BassEnvDecay   body length, up to 2.5 s (long tails near 1)
//   BassEnvAttack  soft onset up to 0.1 s (the "delayed" kicks)
//   SnapPitchAmt   click peak 1 to 5 kHz; SnapEnvDecay click length
//   TransistorDistLoad  0 bypasses; the drive grows with the cube
//   ReverbOffOn    exactly 1 turns the room on
// Run it from the build with the factory folder as its argument; the files
// it writes are committed.

#include "preset_catalogue.h"
#include "preset_file.h"

#include <cstdio>
#include <string>

namespace
{
struct FactorySound
{
  const char* name;
  // In file order: BassAmpLevel, BassEnvAttack, BassEnvDecay, BassPitchAmt,
  // MainVolume, ReverbOffOn, SnapAmpLevel, SnapEnvDecay, SnapPitchAmt,
  // TransistorDistLoad.
  double values[kPresetFileParams];
};

const FactorySound kFactorySounds[] = {
    // A deep, long, clean boom to say hello.
    {"WLCM - The Deep Diver", {1, 0, 0.85, 0.12, 0.8, 0, 0.35, 0.1, 0.2, 0}},
    // Round mid-length club kicks with a clear click.
    {"EDM - 1990s Dance A", {1, 0, 0.45, 0.3, 0.8, 0, 0.6, 0.15, 0.45, 0}},
    {"EDM - 1990s Dance B", {1, 0, 0.4, 0.35, 0.8, 0, 0.75, 0.2, 0.55, 0}},
    {"EDM - 1990s Dance C", {1, 0.02, 0.5, 0.25, 0.8, 0, 0.5, 0.12, 0.35, 0.15}},
    {"EDM - 1990s Dance D", {0.95, 0, 0.38, 0.4, 0.8, 0, 0.8, 0.25, 0.6, 0}},
    // The same through the transistor stage.
    {"EDM - 1990s Processed A", {1, 0, 0.45, 0.3, 0.75, 0, 0.6, 0.18, 0.5, 0.6}},
    {"EDM - 1990s Processed B", {1, 0, 0.5, 0.28, 0.72, 0, 0.5, 0.15, 0.4, 0.8}},
    // Short, tight and bright, a touch of drive.
    {"EDM - Classic Trance A", {1, 0, 0.35, 0.38, 0.8, 0, 0.7, 0.22, 0.65, 0.2}},
    {"EDM - Classic Trance B", {1, 0, 0.32, 0.42, 0.8, 0, 0.8, 0.25, 0.7, 0.25}},
    {"EDM - Classic Trance C", {1, 0, 0.4, 0.35, 0.8, 0, 0.65, 0.2, 0.6, 0.3}},
    {"EDM - Classic Trance D", {1, 0, 0.3, 0.45, 0.8, 0, 0.85, 0.28, 0.75, 0.15}},
    // Driven hard, high click.
    {"EDM - Hard Trance A", {1, 0, 0.4, 0.4, 0.72, 0, 0.85, 0.3, 0.7, 0.75}},
    {"EDM - Hard Trance B", {1, 0, 0.35, 0.45, 0.7, 0, 0.9, 0.32, 0.8, 0.9}},
    // Trance kicks in the room.
    {"EDM - Room Trance A", {1, 0, 0.35, 0.38, 0.75, 1, 0.7, 0.22, 0.6, 0.2}},
    {"EDM - Room Trance B", {1, 0, 0.3, 0.42, 0.75, 1, 0.75, 0.25, 0.65, 0.1}},
    {"EDM - Room Trance C", {1, 0, 0.4, 0.35, 0.72, 1, 0.6, 0.2, 0.55, 0.35}},
    // Fuller bodies, louder, moderate drive.
    {"EDM - Solid Trance A", {1, 0, 0.42, 0.33, 0.85, 0, 0.55, 0.18, 0.5, 0.4}},
    {"EDM - Solid Trance B", {1, 0.01, 0.45, 0.3, 0.85, 0, 0.5, 0.15, 0.45, 0.5}},
    {"EDM - Solid Trance C", {1, 0, 0.48, 0.28, 0.85, 0, 0.45, 0.14, 0.42, 0.45}},
    // Slow attacks: the body swells in after the click.
    {"ELEC - Delayed A", {1, 0.6, 0.5, 0.3, 0.8, 0, 0.45, 0.2, 0.4, 0}},
    {"ELEC - Delayed B", {1, 0.85, 0.55, 0.28, 0.8, 1, 0.4, 0.25, 0.35, 0.1}},
    // High body against a long, high click, driven.
    {"ELEC - Dissonant Beat", {1, 0, 0.4, 0.62, 0.75, 0, 0.9, 0.45, 0.95, 0.55}},
    // Low, long 808-style bass kicks.
    {"ELEC - Electro Bass A", {1, 0, 0.7, 0.18, 0.8, 0, 0.45, 0.12, 0.3, 0}},
    {"ELEC - Electro Bass B", {1, 0, 0.75, 0.15, 0.8, 0, 0.4, 0.1, 0.25, 0.2}},
    {"ELEC - Electro Bass C", {1, 0.02, 0.8, 0.2, 0.8, 0, 0.35, 0.1, 0.2, 0.1}},
    {"ELEC - Electro Bass Proc A", {1, 0, 0.72, 0.18, 0.72, 0, 0.45, 0.12, 0.3, 0.7}},
    {"ELEC - Electro Bass Proc B", {1, 0, 0.78, 0.16, 0.7, 0, 0.4, 0.1, 0.28, 0.9}},
    // Very long, very low decays.
    {"ELEC - Long Tail A", {1, 0, 0.9, 0.14, 0.8, 0, 0.4, 0.12, 0.3, 0}},
    {"ELEC - Long Tail B", {1, 0, 0.95, 0.1, 0.8, 0, 0.35, 0.1, 0.25, 0}},
    {"ELEC - Long Tail C", {1, 0, 1, 0.08, 0.8, 0, 0.3, 0.1, 0.2, 0.15}},
    {"ELEC - Long Tail D", {1, 0, 0.92, 0.12, 0.75, 1, 0.35, 0.12, 0.25, 0}},
    {"ELEC - Long Tail E", {1, 0, 0.97, 0.1, 0.72, 0, 0.3, 0.1, 0.22, 0.5}},
    // Short bodies under a loud click that grows longer and higher A to G.
    {"ELEC - The Snap A", {0.9, 0, 0.3, 0.35, 0.8, 0, 1, 0.35, 0.5, 0}},
    {"ELEC - The Snap B", {0.9, 0, 0.28, 0.4, 0.8, 0, 1, 0.45, 0.6, 0}},
    {"ELEC - The Snap C", {0.85, 0, 0.32, 0.38, 0.8, 0, 1, 0.55, 0.7, 0}},
    {"ELEC - The Snap D", {0.9, 0, 0.25, 0.45, 0.8, 0, 1, 0.6, 0.8, 0.1}},
    {"ELEC - The Snap E", {0.85, 0, 0.3, 0.4, 0.8, 0, 1, 0.7, 0.85, 0}},
    {"ELEC - The Snap F", {0.8, 0, 0.28, 0.42, 0.8, 0, 1, 0.8, 0.9, 0.2}},
    {"ELEC - The Snap G", {0.8, 0, 0.22, 0.5, 0.8, 0, 1, 0.9, 1, 0}},
    // Short, dry, mid-pitched disco kicks.
    {"NWAVE - 1980s Disco A", {1, 0, 0.35, 0.32, 0.8, 0, 0.7, 0.2, 0.3, 0}},
    {"NWAVE - 1980s Disco B", {1, 0, 0.3, 0.36, 0.8, 0, 0.75, 0.25, 0.35, 0}},
    {"NWAVE - 1980s Disco C", {1, 0.02, 0.38, 0.3, 0.8, 1, 0.65, 0.2, 0.28, 0}},
    {"NWAVE - 1980s Disco D", {1, 0, 0.33, 0.34, 0.8, 0, 0.8, 0.28, 0.4, 0.1}},
    // Disco kicks through the transistor stage, one in the room.
    {"NWAVE - 1980s Processed A", {1, 0, 0.35, 0.32, 0.72, 0, 0.7, 0.22, 0.32, 0.65}},
    {"NWAVE - 1980s Processed B", {1, 0, 0.33, 0.35, 0.72, 1, 0.7, 0.22, 0.35, 0.5}},
    {"NWAVE - 1980s Processed C", {1, 0, 0.38, 0.3, 0.7, 0, 0.65, 0.2, 0.3, 0.85}},
};
constexpr int kFactorySoundCount = int(sizeof(kFactorySounds) / sizeof(kFactorySounds[0]));
static_assert(kFactorySoundCount == kFirstUserPresetIndex - kFirstPresetIndex,
              "one sound per factory preset");
} // namespace

int main(int argc, char** argv)
{
  if (argc != 2)
  {
    std::fprintf(stderr, "usage: %s <factory preset folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  for (int i = 0; i < kFactorySoundCount; ++i)
  {
    char name[64] = {};
    const int index = kFirstPresetIndex + i;
    if (!PresetName(index, name, sizeof(name)) || std::string(name) != kFactorySounds[i].name)
    {
      std::fprintf(stderr, "sound %d is \"%s\", the catalogue says \"%s\"\n", index,
                   kFactorySounds[i].name, name);
      return 1;
    }
    const std::string path = folder + name + "." + kPresetFileExtension;
    if (!WritePresetText(path, PresetFileText(kFactorySounds[i].values)))
    {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  std::printf("wrote %d factory presets into %s\n", kFactorySoundCount, argv[1]);
  return 0;
}
