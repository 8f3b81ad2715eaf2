#include "common_documents.h"
#include "wide_text_win.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>

std::string GetCommonDocumentsFolder()
{
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, 0, path)))
    return std::string();
  std::string folder = Utf8FromWide(path);
  std::replace(folder.begin(), folder.end(), '\\', '/');
  while (!folder.empty() && folder.back() == '/')
    folder.pop_back();
  return folder;
}

std::string ToNativeSeparators(std::string path)
{
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}
