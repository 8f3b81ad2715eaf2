#include "image_cache.h"

#include "critical_section.h"
#include "lice_bitmap.h"

#include <memory>
#include <utility>
#include <vector>

namespace
{
struct Cache
{
  CriticalSection lock;
  std::vector<std::pair<int, std::unique_ptr<LICE_IBitmap>>> entries;

  LICE_IBitmap* FindLocked(int id) const
  {
    for (const auto& entry : entries)
      if (entry.first == id) return entry.second.get();
    return nullptr;
  }
};

// Destroyed, with every bitmap, when the module unloads.
Cache& TheCache()
{
  static Cache cache;
  return cache;
}
} // namespace

LICE_IBitmap* ImageCache::Find(int id)
{
  Cache& cache = TheCache();
  CriticalSectionLock hold(cache.lock);
  return cache.FindLocked(id);
}

LICE_IBitmap* ImageCache::Insert(int id, LICE_IBitmap* bitmap)
{
  std::unique_ptr<LICE_IBitmap> owned(bitmap);
  if (!owned) return nullptr;
  Cache& cache = TheCache();
  CriticalSectionLock hold(cache.lock);
  if (LICE_IBitmap* existing = cache.FindLocked(id)) return existing;
  cache.entries.emplace_back(id, std::move(owned));
  return bitmap;
}

int ImageCache::Size()
{
  Cache& cache = TheCache();
  CriticalSectionLock hold(cache.lock);
  return int(cache.entries.size());
}
