#pragma once

class LICE_IBitmap;

// The process-wide cache of images, keyed by resource id, shared by every
// editor of every plug-in instance in the process. Resource images decode
// their pixels when first drawn (resource_bitmap.h). Each call takes the
// cache's lock for its own duration only, so decoding runs outside it. The
// bitmaps live until the module unloads.
namespace ImageCache
{
// The cached bitmap of an id, or null.
LICE_IBitmap* Find(int id);
// Adds a bitmap (owned from here on) and returns the one the cache
// holds for the id: when another thread added one meanwhile, that one wins
// and the given bitmap is deleted. A null bitmap is not cached, so a missing
// image is tried again next time.
LICE_IBitmap* Insert(int id, LICE_IBitmap* bitmap);
// Number of cached images.
int Size();
} // namespace ImageCache
