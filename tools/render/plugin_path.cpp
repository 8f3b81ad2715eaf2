#include "plugin_path.h"

#include "plugin_module.h"

#include <filesystem>

std::string WithoutTrailingSeparators(std::string path)
{
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
    path.pop_back();
  return path;
}

std::string Vst3ModuleFile(const std::string& path)
{
  const std::string bundle = WithoutTrailingSeparators(path);
  std::error_code ignored;
  const std::filesystem::path bundlePath = std::filesystem::u8path(bundle);
  if (!std::filesystem::is_directory(bundlePath, ignored)) return bundle;
  return BundleModulePath(bundle, bundlePath.stem().u8string());
}
