#include "critical_section.h"

#include <new>
#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= 64, "CRITICAL_SECTION does not fit its storage");

static CRITICAL_SECTION* AsSection(unsigned char* storage)
{
  return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

CriticalSection::CriticalSection()
{
  InitializeCriticalSection(new (mStorage) CRITICAL_SECTION);
}

CriticalSection::~CriticalSection()
{
  DeleteCriticalSection(AsSection(mStorage));
}

void CriticalSection::Enter()
{
  EnterCriticalSection(AsSection(mStorage));
}

bool CriticalSection::TryEnter()
{
  return TryEnterCriticalSection(AsSection(mStorage)) != 0;
}

void CriticalSection::Leave()
{
  LeaveCriticalSection(AsSection(mStorage));
}
