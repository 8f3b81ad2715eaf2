#include "host_application.h"

#include <algorithm>

using namespace Steinberg;

tresult PLUGIN_API HostApplication::getName(Vst::String128 name)
{
  const size_t length = std::min<size_t>(mName.size(), 127);
  for (size_t i = 0; i < length; ++i)
    name[i] = static_cast<Vst::TChar>(static_cast<unsigned char>(mName[i]));
  name[length] = 0;
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID, TUID, void** obj)
{
  if (obj) *obj = nullptr;
  return kResultFalse;
}
