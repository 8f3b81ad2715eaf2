#include "font_cache.h"

#include "lice_font.h"
#include "owning_cache.h"

namespace
{
// Destroyed, with every font, when the module unloads.
OwningCache<FontCache::Key, LICE_CachedFont>& TheCache()
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
  static OwningCache<FontCache::Key, LICE_CachedFont> cache;
  return cache;
}
} // namespace

LICE_CachedFont* FontCache::Find(const Key& key)
{
  return TheCache().Find(key);
}

LICE_CachedFont* FontCache::Insert(const Key& key, LICE_CachedFont* font)
{
  return TheCache().Insert(key, font);
}

int FontCache::Size()
{
  return TheCache().Size();
}
