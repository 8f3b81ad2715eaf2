#pragma once

#include "critical_section.h"

// Created on first use and destroyed when the library unloads; hosts that
// create instances from several threads get them constructed one at a time.
// Every module entry that constructs an instance holds it while doing so.
CriticalSection& CreationLock();
