// IdentifyHost with any text, terminated or cut at any length: a number from
// the host table, never a read beyond the text.

#include "host_identify.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
  const std::string name(reinterpret_cast<const char*>(data), size);
  const int host = IdentifyHost(name.c_str());
  if (host < HostUnknown || host > HostArdour) std::abort();
  return 0;
}
