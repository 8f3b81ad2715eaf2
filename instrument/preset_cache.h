#pragma once

#include "preset_catalogue.h"
#include "preset_file.h"
#include "preset_file_store.h"

#include <array>
#include <string>

// The ten sound values of every catalogue preset file, read ahead of time so
// that a preset chosen on the audio thread is applied from memory, in its
// place among the block's parameter changes, and never waits for the disk.
struct CachedPresetFile
{
  // The file could be read and its last line is not empty: loading it shows
  // its name and sets the values found (possibly none).
  bool readable = false;
  PresetFileValues values;
};

// The Factory and User folders as they looked when the files were read:
// saving (a new file renamed over the old one), adding and removing files
// change them. A file rewritten in place is seen at the next forced read.
using PresetCacheStamps = std::array<PresetFileStamp, 2>;

// Plain data, indexed by preset index (entry 0 names no preset and stays
// unreadable). Copying and reading it allocate nothing.
struct PresetCache
{
  static constexpr int kEntries = kLastPresetIndex + 1;

  PresetCacheStamps folders;
  CachedPresetFile files[kEntries];
};

// Any thread but the audio thread, no lock needed; allocates and may wait
// for the disk. base is the shared documents folder.
void ReadPresetCache(PresetFileStore& store, const std::string& base, PresetCache& cache);
// How the catalogue's folders look now: a look at two folders, cheap.
void ReadPresetCacheStamps(PresetFileStore& store, const std::string& base,
                           PresetCacheStamps& stamps);
// Any thread, allocates nothing: whether cache was read from folders that
// looked as stamps say.
bool PresetCacheMatches(const PresetCache& cache, const PresetCacheStamps& stamps);

// The owner of a catalogue held in memory, as the preset menu sees it: the
// menu has it read again before it opens, so it offers what is on disk.
class PresetCacheOwner
{
public:
  virtual ~PresetCacheOwner() = default;
  // User-interface thread, instance lock not held; may wait for the disk.
  virtual void RefreshPresetCache() = 0;
};
