#pragma once

#include <string>

class LICE_CachedFont;

// The process-wide cache of fonts, keyed by size, orientation, style and
// face name (not quality), shared by every editor in the process. Each call
// takes the cache's lock for its own duration. The fonts live until the
// module unloads.
namespace FontCache
{
struct Key
{
  int size;
  int orientation;
  int style;
  std::string face;

  bool operator==(const Key& other) const
  {
    return size == other.size && orientation == other.orientation && style == other.style &&
           face == other.face;
  }
};

// The cached font of a key, or null.
LICE_CachedFont* Find(const Key& key);
// Adds a font (owned from here on) and returns the one the cache holds for
// the key: when another thread added one meanwhile, that one wins and the
// given font is deleted. Null is not cached.
LICE_CachedFont* Insert(const Key& key, LICE_CachedFont* font);
int Size();
} // namespace FontCache
