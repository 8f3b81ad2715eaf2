// The module's entry point: hosts call VSTPluginMain (or its older name,
// main, provided per platform beside this file) once per instance.

#include "creation_lock.h"
#include "thudwerk.h"
#include "vst2_interface.h"

#include <algorithm>
#include <new>

extern "C" AEffect* VSTPluginMain(audioMasterCallback host)
{
  CriticalSectionLock creation(CreationLock());
  // No exception may reach the host: a construction that runs out of memory
  // answers no instance.
  try
  {
    Thudwerk* plug = new Thudwerk(host);
    plug->CreateDefaultPreset("Empty", plug->PresetCount());
    AEffect* effect = plug->GetAEffect();
    effect->numPrograms = std::max(effect->numPrograms, 1);
    return effect;
  }
  catch (...)
  {
    return nullptr;
  }
}
