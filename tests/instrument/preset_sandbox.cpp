#include "preset_sandbox.h"

#include <filesystem>
#include <fstream>
#include <iterator>

std::string PresetSandbox::PresetFolder() const
{
  return mDocuments + "/VornAudio/Thudwerk/Presets/";
}

std::string PresetSandbox::FactoryFile(const std::string& name) const
{
  return PresetFolder() + "Factory/" + name + ".thudwerkpreset";
}

std::string PresetSandbox::UserFile(const std::string& name) const
{
  return PresetFolder() + "User/" + name + ".thudwerkpreset";
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(file);
}

std::string ReadFileBytes(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path)
{
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}
