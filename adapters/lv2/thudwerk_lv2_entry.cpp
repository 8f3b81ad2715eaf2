// The Thudwerk LV2 plug-in library: one descriptor, whose instances are
// the instrument on the LV2 adapter.

#include "creation_lock.h"
#include "thudwerk.h"

#include <lv2/state/state.h>

#include <cstring>

namespace
{
Thudwerk* AsPlug(LV2_Handle instance)
{
  return static_cast<Thudwerk*>(instance);
}

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features)
{
  CriticalSectionLock creation(CreationLock());
  Lv2HostContext context;
  context.sampleRate = sampleRate;
  context.features = features;
  // No exception may reach the host: a construction that runs out of memory
  // answers no instance, and so does a host without the URI map.
  try
  {
    auto* plug = new Thudwerk(&context);
    if (plug->HasUridMap()) return plug;
    delete plug;
  }
  catch (...)
  {
  }
  return nullptr;
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data)
{
  AsPlug(instance)->ConnectPort(port, data);
}

void Activate(LV2_Handle instance)
{
  AsPlug(instance)->Activate();
}

void Run(LV2_Handle instance, uint32_t frames)
{
  AsPlug(instance)->Run(frames);
}

void Deactivate(LV2_Handle) {}

void Cleanup(LV2_Handle instance)
{
  CriticalSectionLock creation(CreationLock());
  delete AsPlug(instance);
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const*)
{
  return AsPlug(instance)->SaveState(store, handle);
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t, const LV2_Feature* const*)
{
  return AsPlug(instance)->RestoreState(retrieve, handle);
}

const void* ExtensionData(const char* uri)
{
  static const LV2_State_Interface state = {Save, Restore};
  return uri && std::strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor kDescriptor = {kLv2PluginUri, Instantiate, ConnectPort, Activate,
                                    Run,           Deactivate,  Cleanup,     ExtensionData};
} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
  return index == 0 ? &kDescriptor : nullptr;
}
