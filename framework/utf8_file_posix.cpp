#include "utf8_file.h"

#include <unistd.h>

std::FILE* OpenFileUtf8(const std::string& path, const char* mode)
{
  return std::fopen(path.c_str(), mode);
}

bool RemoveFileUtf8(const std::string& path)
{
  return unlink(path.c_str()) == 0;
}
