#include "platform_folders.h"
#include "wide_text_win.h"

#include <windows.h>

#include <shlobj.h>

#include <string>

namespace
{
// Paths are read into buffers of this many UTF-16 units; longer ones are
// cut by the system and then not trusted.
constexpr DWORD kPathCapacity = 256;

std::string FolderOf(const wchar_t* path)
{
  const std::string full = Utf8FromWide(path);
  const size_t slash = full.rfind('\\');
  return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

std::string ModuleFolder(HMODULE module)
{
  wchar_t path[kPathCapacity] = {};
  const DWORD length = GetModuleFileNameW(module, path, kPathCapacity);
  if (length == 0 || length >= kPathCapacity) return std::string();
  return FolderOf(path);
}

std::string ShellFolder(int folderId)
{
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, folderId, FALSE)) return std::string();
  std::string folder = Utf8FromWide(path);
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}
} // namespace

std::string PlatformFolders::HostFolder()
{
  return ModuleFolder(nullptr);
}

std::string PlatformFolders::PluginFolder()
{
  HMODULE module = nullptr;
  static const int anchor = 0;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&anchor), &module))
    return std::string();
  return ModuleFolder(module);
}

std::string PlatformFolders::DesktopFolder()
{
  return ShellFolder(CSIDL_DESKTOP);
}

std::string PlatformFolders::AppDataFolder(bool systemWide)
{
  return ShellFolder(systemWide ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA);
}
