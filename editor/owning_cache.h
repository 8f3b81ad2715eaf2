#pragma once

#include "critical_section.h"

#include <memory>
#include <utility>
#include <vector>

// A process-wide cache that owns what it holds until it is destroyed. Each
// call takes the cache's lock for its own duration only; any thread.
template <typename Key, typename Value>
class OwningCache
{
public:
  // The cached value of a key, or null.
  Value* Find(const Key& key)
  {
    CriticalSectionLock hold(mLock);
    return FindLocked(key);
  }

  // Adds a value (owned from here on) and returns the one the cache holds
  // for the key: when another thread added one meanwhile, that one wins and
  // the given value is deleted, outside the lock. Null is not cached.
  Value* Insert(const Key& key, Value* value)
  {
    std::unique_ptr<Value> owned(value);
    if (!owned) return nullptr;
    CriticalSectionLock hold(mLock);
    if (Value* existing = FindLocked(key)) return existing;
    mEntries.emplace_back(key, std::move(owned));
    return value;
  }

  int Size()
  {
    CriticalSectionLock hold(mLock);
    return int(mEntries.size());
  }

private:
  Value* FindLocked(const Key& key) const
  {
    for (const auto& entry : mEntries)
      if (entry.first == key) return entry.second.get();
    return nullptr;
  }

  CriticalSection mLock;
  std::vector<std::pair<Key, std::unique_ptr<Value>>> mEntries;
};
