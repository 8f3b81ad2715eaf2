#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/vsttypes.h"

#include <string>

// Small helpers for VST 3 hosting.

// A 16-bit string as 8-bit text (the tests use ASCII only).
inline std::string Narrow(const Steinberg::Vst::TChar* text)
{
  std::string result;
  for (; text && *text; ++text)
    result += static_cast<char>(*text);
  return result;
}

// The object's Interface with its own reference, or null.
template <class Interface>
Steinberg::IPtr<Interface> Query(Steinberg::FUnknown* object)
{
  Interface* result = nullptr;
  if (!object || object->queryInterface(Interface::iid, reinterpret_cast<void**>(&result)) !=
                     Steinberg::kResultOk)
    return nullptr;
  return Steinberg::owned(result);
}
