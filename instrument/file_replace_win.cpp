#include "file_replace.h"

#include <windows.h>

#include <io.h>

TempFile CreateTempFileBeside(const std::string& target)
{
  const size_t slash = target.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  char path[MAX_PATH] = {};
  // Creates the file itself, so no other saver can take the same name.
  if (GetTempFileNameA(folder.c_str(), "twk", 0, path) == 0) return {};
  std::FILE* file = std::fopen(path, "wb");
  if (!file)
  {
    DeleteFileA(path);
    return {};
  }
  return {file, path};
}

bool FlushFileToDisk(std::FILE* file)
{
  if (std::fflush(file) != 0) return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool ReplaceFileWith(const std::string& target, const std::string& temp)
{
  return MoveFileExA(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
