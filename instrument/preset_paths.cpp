#include "preset_paths.h"

#include "common_documents.h"
#include "preset_catalogue.h"

namespace
{
constexpr const char* kPresetSubfolder = "/VornAudio/Thudwerk/Presets";
constexpr size_t kRelativePathCapacity = 256;
} // namespace

std::string PresetFolder(const std::string& base)
{
  return base + kPresetSubfolder + "/";
}

std::string CataloguePresetPath(const std::string& base, int presetIndex)
{
  char relative[kRelativePathCapacity] = {};
  PresetRelativePath(presetIndex, relative, sizeof(relative));
  return PresetFolder(base) + relative;
}

std::string PresetPromptFolder(const std::string& base)
{
  return ToNativeSeparators(base + kPresetSubfolder);
}

std::string PresetDisplayName(const std::string& path)
{
  const size_t separator = path.find_last_of("/\\");
  std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  if (name.size() > size_t(kPresetNameMaxChars)) name = name.substr(0, kPresetNameMaxChars) + "...";
  return name;
}
