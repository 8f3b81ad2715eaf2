// The Thudwerk VST 3 module: its factory with the one instrument class, and
// the instance creation the factory calls.

#include "cplugin_factory.h"
#include "creation_lock.h"
#include "four_char_code.h"
#include "thudwerk.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

using namespace Steinberg;

namespace
{

// context: the factory, whose host context the instance receives.
FUnknown* CreateThudwerk(void* context)
{
  CriticalSectionLock creation(CreationLock());
  // No exception may reach the host: a construction that runs out of memory
  // answers no instance.
  try
  {
    auto* factory = static_cast<CPluginFactory*>(context);
    return static_cast<Vst::IAudioProcessor*>(new Thudwerk(factory->getHostContext()));
  }
  catch (...)
  {
    return nullptr;
  }
}

void RegisterThudwerk(CPluginFactory& factory)
{
  const FUID classId(0xF2AEE70D, 0x00DE4F4E, static_cast<uint32>(FourCharCode("Vrna")),
                     static_cast<uint32>(FourCharCode("Vrc5")));
  factory.registerClass(PClassInfo2(classId.toTUID(), PClassInfo::kManyInstances,
                                    kVstAudioEffectClass, "Thudwerk", Vst::kSimpleModeSupported,
                                    "Instrument|Synth", "", "1.0.2", "VST 3.6.0"),
                        &CreateThudwerk, &factory);
}

} // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory()
{
  return SharedPluginFactory(
      PFactoryInfo("VornAudio", THUDWERK_VENDOR_URL, THUDWERK_VENDOR_EMAIL, PFactoryInfo::kUnicode),
      &RegisterThudwerk);
}
