#include "resource_test_module.h"

#include <windows.h>

const void* TestImageModule()
{
  return GetModuleHandleA(nullptr);
}
bool ResourceIdsWrapAt16Bits()
{
  return true;
}
