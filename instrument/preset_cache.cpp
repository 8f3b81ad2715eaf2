#include "preset_cache.h"

#include "preset_paths.h"

void ReadPresetCache(PresetFileStore& store, const std::string& base, PresetCache& cache)
{
  // Stamped first: a change during the reading shows at the next look.
  ReadPresetCacheStamps(store, base, cache.folders);
  for (int index = kFirstPresetIndex; index < PresetCache::kEntries; ++index)
  {
    CachedPresetFile& file = cache.files[index];
    std::string line;
    file.readable =
        store.ReadLastLine(CataloguePresetPath(base, index), line) == PresetFileRead::kRead;
    file.values = file.readable ? ParsePresetLine(line) : PresetFileValues();
  }
}

void ReadPresetCacheStamps(PresetFileStore& store, const std::string& base,
                           PresetCacheStamps& stamps)
{
  stamps[0] = store.Stamp(PresetFolder(base) + "Factory");
  stamps[1] = store.Stamp(PresetFolder(base) + "User");
}

bool PresetCacheMatches(const PresetCache& cache, const PresetCacheStamps& stamps)
{
  return cache.folders == stamps;
}
