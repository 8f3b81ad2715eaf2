#pragma once

// A recursive lock: the plug-in instance lock, the module creation lock and
// the process-wide image and font cache locks all use it. The same thread may
// enter it again while holding it. A CRITICAL_SECTION on Windows, a
// std::recursive_mutex elsewhere.
class CriticalSection
{
public:
  CriticalSection();
  ~CriticalSection();
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter();
  // Enters only when no other thread holds the lock; true when entered.
  bool TryEnter();
  void Leave();

private:
  // Storage for the platform's lock object; sized for the larger of the two
  // (a Win64 CRITICAL_SECTION is 40 bytes).
  alignas(16) unsigned char mStorage[64];
};

// Holds a CriticalSection for the lifetime of a scope.
class CriticalSectionLock
{
public:
  explicit CriticalSectionLock(CriticalSection& section) : mSection(section) { mSection.Enter(); }
  ~CriticalSectionLock() { mSection.Leave(); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
  CriticalSection& mSection;
};
