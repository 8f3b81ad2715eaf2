#include "font_cache.h"

#include "critical_section.h"
#include "lice_font.h"

#include <memory>
#include <utility>
#include <vector>

namespace
{
bool SameKey(const FontCache::Key& a, const FontCache::Key& b)
{
  return a.size == b.size && a.orientation == b.orientation && a.style == b.style &&
         a.face == b.face;
}

struct Cache
{
  CriticalSection lock;
  std::vector<std::pair<FontCache::Key, std::unique_ptr<LICE_CachedFont>>> entries;

  LICE_CachedFont* FindLocked(const FontCache::Key& key) const
  {
    for (const auto& entry : entries)
      if (SameKey(entry.first, key)) return entry.second.get();
    return nullptr;
  }
};

// Destroyed, with every font, when the module unloads.
Cache& TheCache()
{
  // Deleting a font needs the raster layer's shared font state, so that
  // state is brought up first: statics are destroyed in the reverse order of
  // their construction, and it then outlives this cache.
  static const bool fontStateFirst = []
  {
    LICE_CachedFont probe;
    return true;
  }();
  (void)fontStateFirst;
  static Cache cache;
  return cache;
}
} // namespace

LICE_CachedFont* FontCache::Find(const Key& key)
{
  Cache& cache = TheCache();
  CriticalSectionLock hold(cache.lock);
  return cache.FindLocked(key);
}

LICE_CachedFont* FontCache::Insert(const Key& key, LICE_CachedFont* font)
{
  std::unique_ptr<LICE_CachedFont> owned(font);
  if (!owned) return nullptr;
  Cache& cache = TheCache();
  CriticalSectionLock hold(cache.lock);
  if (LICE_CachedFont* existing = cache.FindLocked(key)) return existing;
  cache.entries.emplace_back(key, std::move(owned));
  return font;
}

int FontCache::Size()
{
  Cache& cache = TheCache();
  CriticalSectionLock hold(cache.lock);
  return int(cache.entries.size());
}
