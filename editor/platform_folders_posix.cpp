#include "platform_folders.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
std::string FolderOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithSlash(std::string folder)
{
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string Environment(const char* name)
{
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string Home()
{
  return WithSlash(Environment("HOME"));
}
} // namespace

std::string PlatformFolders::HostFolder()
{
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return std::string();
  return FolderOf(std::string(buffer.data(), size_t(length)));
}

std::string PlatformFolders::PluginFolder()
{
  Dl_info info{};
  static const int anchor = 0;
  if (!dladdr(&anchor, &info) || !info.dli_fname) return std::string();
  return FolderOf(info.dli_fname);
}

std::string PlatformFolders::DesktopFolder()
{
  const std::string desktop = Environment("XDG_DESKTOP_DIR");
  if (!desktop.empty()) return WithSlash(desktop);
  const std::string home = Home();
  return home.empty() ? std::string() : home + "Desktop/";
}

std::string PlatformFolders::AppDataFolder(bool systemWide)
{
  if (systemWide) return "/usr/local/share/";
  const std::string data = Environment("XDG_DATA_HOME");
  if (!data.empty()) return WithSlash(data);
  const std::string home = Home();
  return home.empty() ? std::string() : home + ".local/share/";
}
