#include "preset_sandbox.h"

#include "utf8_file.h"

#include <filesystem>

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
  UniqueFile file(OpenFileUtf8(path, "wb"));
  return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
         std::fclose(file.release()) == 0;
}

std::string ReadFileBytes(const std::string& path)
{
  std::string bytes;
  UniqueFile file(OpenFileUtf8(path, "rb"));
  char buffer[4096];
  std::size_t count = 0;
  while (file && (count = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0)
    bytes.append(buffer, count);
  return bytes;
}

bool FileExists(const std::string& path)
{
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::u8path(path), error);
}
