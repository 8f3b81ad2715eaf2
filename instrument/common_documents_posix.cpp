#include "common_documents.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
std::string Environment(const char* name)
{
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string WithoutTrailingSlashes(std::string folder)
{
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder;
}

// The documents entry of the user's XDG folder list, a line such as
//   XDG_DOCUMENTS_DIR="$HOME/Documents"
// Empty when there is no such entry or it names the home folder itself
// (which the XDG tools write when the folder is switched off).
std::string XdgDocumentsFolder(const std::string& home)
{
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty())
  {
    if (home.empty()) return std::string();
    config = home + "/.config";
  }
  std::ifstream list(config + "/user-dirs.dirs");
  const std::string key = "XDG_DOCUMENTS_DIR=\"";
  std::string line;
  while (std::getline(list, line))
  {
    if (line.compare(0, key.size(), key) != 0) continue;
    const size_t end = line.find('"', key.size());
    if (end == std::string::npos) return std::string();
    std::string folder = line.substr(key.size(), end - key.size());
    const std::string homeVariable = "$HOME";
    if (folder.compare(0, homeVariable.size(), homeVariable) == 0)
    {
      if (home.empty()) return std::string();
      folder = home + folder.substr(homeVariable.size());
    }
    if (folder.empty() || folder[0] != '/') return std::string();
    folder = WithoutTrailingSlashes(folder);
    return folder == WithoutTrailingSlashes(home) ? std::string() : folder;
  }
  return std::string();
}
} // namespace

std::string GetCommonDocumentsFolder()
{
  const std::string chosen = Environment("THUDWERK_DOCUMENTS_DIR");
  if (!chosen.empty()) return WithoutTrailingSlashes(chosen);
  const std::string home = WithoutTrailingSlashes(Environment("HOME"));
  const std::string xdg = XdgDocumentsFolder(home);
  if (!xdg.empty()) return xdg;
  return home.empty() ? std::string() : home + "/Documents";
}

std::string ToNativeSeparators(std::string path)
{
  return path;
}
