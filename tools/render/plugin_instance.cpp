#include "plugin_instance.h"

#include "plugin_path.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

std::unique_ptr<PluginInstance> OpenPlugin(const std::string& path, const PluginSettings& settings,
                                           std::string* error)
{
  std::error_code ignored;
  if (!std::filesystem::exists(std::filesystem::u8path(path), ignored))
  {
    *error = "the plug-in " + path + " does not exist";
    return nullptr;
  }
  std::string extension =
      std::filesystem::u8path(WithoutTrailingSeparators(path)).extension().u8string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (extension == ".vst3") return OpenVst3Plugin(path, settings, error);
  if (extension == ".clap") return OpenClapPlugin(path, settings, error);
  if (extension == ".so" || extension == ".dll") return OpenVst2Plugin(path, settings, error);
  *error = "cannot tell the format of " + path +
           ": expected a VST3 plug-in (.vst3), a CLAP plug-in (.clap) or a VST2 binary (.so, .dll)";
  return nullptr;
}
