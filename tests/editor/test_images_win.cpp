#include "test_images.h"

#include <windows.h>

void* TestImageModule()
{
  return GetModuleHandleA(nullptr);
}
