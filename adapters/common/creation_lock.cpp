#include "creation_lock.h"

CriticalSection& CreationLock()
{
  static CriticalSection lock;
  return lock;
}
