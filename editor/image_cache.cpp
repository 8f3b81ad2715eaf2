#include "image_cache.h"

#include "lice_bitmap.h"
#include "owning_cache.h"

namespace
{
// Destroyed, with every bitmap, when the module unloads.
OwningCache<int, LICE_IBitmap>& TheCache()
{
  static OwningCache<int, LICE_IBitmap> cache;
  return cache;
}
} // namespace

LICE_IBitmap* ImageCache::Find(int id)
{
  return TheCache().Find(id);
}

LICE_IBitmap* ImageCache::Insert(int id, LICE_IBitmap* bitmap)
{
  return TheCache().Insert(id, bitmap);
}

int ImageCache::Size()
{
  return TheCache().Size();
}
