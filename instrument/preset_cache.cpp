#include "preset_cache.h"

#include "preset_paths.h"

void ReadPresetCache(PresetFileStore& store, const std::string& base, PresetCache& cache)
{
  for (int index = kFirstPresetIndex; index < PresetCache::kEntries; ++index)
  {
    CachedPresetFile& file = cache.files[index];
    const std::string path = CataloguePresetPath(base, index);
    // Stamped first: a change during the read shows at the next look.
    file.stamp = store.Stamp(path);
    std::string line;
    file.readable = store.ReadLastLine(path, line) == PresetFileRead::kRead;
    file.values = file.readable ? ParsePresetLine(line) : PresetFileValues();
  }
}

void ReadPresetCacheStamps(PresetFileStore& store, const std::string& base,
                           PresetCacheStamps& stamps)
{
  for (int index = kFirstPresetIndex; index < PresetCache::kEntries; ++index)
    stamps[static_cast<size_t>(index)] = store.Stamp(CataloguePresetPath(base, index));
}

bool PresetCacheMatches(const PresetCache& cache, const PresetCacheStamps& stamps)
{
  for (int index = kFirstPresetIndex; index < PresetCache::kEntries; ++index)
    if (!(cache.files[index].stamp == stamps[static_cast<size_t>(index)])) return false;
  return true;
}
