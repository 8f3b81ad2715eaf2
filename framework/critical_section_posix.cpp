#include "critical_section.h"

#include <mutex>
#include <new>

static_assert(sizeof(std::recursive_mutex) <= 64, "std::recursive_mutex does not fit its storage");

static std::recursive_mutex* AsMutex(unsigned char* storage)
{
  return std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}

CriticalSection::CriticalSection()
{
  new (mStorage) std::recursive_mutex;
}

CriticalSection::~CriticalSection()
{
  AsMutex(mStorage)->~recursive_mutex();
}

void CriticalSection::Enter()
{
  AsMutex(mStorage)->lock();
}

bool CriticalSection::TryEnter()
{
  return AsMutex(mStorage)->try_lock();
}

void CriticalSection::Leave()
{
  AsMutex(mStorage)->unlock();
}
