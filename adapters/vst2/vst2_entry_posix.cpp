// Hosts that predate VSTPluginMain look for an exported function named main.
// C++ does not allow a function of that name with this signature, so the
// alias takes the name from the assembler.

#include "vst2_interface.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);
extern "C" AEffect* VstLegacyMain(audioMasterCallback host) __asm__("main");

AEffect* VstLegacyMain(audioMasterCallback host)
{
  return VSTPluginMain(host);
}
