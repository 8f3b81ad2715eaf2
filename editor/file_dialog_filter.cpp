#include "file_dialog_filter.h"

#include <cstring>
#include <sstream>

FileDialogFilter BuildFileDialogFilter(const char* extensionList)
{
  FileDialogFilter result;
  if (!extensionList) return result;

  // Room for the list twice plus three NULs.
  const size_t maxPatternLength = (FileDialogFilter::kFilterCapacity - 3) / 2;
  std::string patterns;
  std::istringstream words(extensionList);
  std::string extension;
  bool first = true;
  while (words >> extension)
  {
    if (first)
    {
      first = false;
      if (extension.size() < FileDialogFilter::kDefaultExtensionCapacity)
        std::memcpy(result.defaultExtension, extension.c_str(), extension.size() + 1);
    }
    const std::string pattern = (patterns.empty() ? "*." : ";*.") + extension;
    if (patterns.size() + pattern.size() <= maxPatternLength) patterns += pattern;
  }
  if (patterns.empty()) return result;

  char* out = result.filter;
  for (int copy = 0; copy < 2; ++copy)
  {
    std::memcpy(out, patterns.c_str(), patterns.size() + 1);
    out += patterns.size() + 1;
  }
  *out = '\0';
  return result;
}

bool FolderOfPath(const std::string& path, std::string& folder)
{
  const size_t end = path.find_last_of("\\/:");
  if (end == std::string::npos) return false;
  folder = path.substr(0, end + 1);
  return true;
}
