#include "preset_file.h"

#include "file_replace.h"
#include "kick_engine.h"
#include "utf8_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <sstream>
#include <system_error>

const PresetFileTag kPresetFileTags[kPresetFileParams] = {
    {"BassAmpLevel", EngineParam::BassAmpLevel},
    {"BassEnvAttack", EngineParam::BassEnvAttack},
    {"BassEnvDecay", EngineParam::BassEnvDecay},
    {"BassPitchAmt", EngineParam::BassPitchAmt},
    {"MainVolume", EngineParam::MainVolume},
    {"ReverbOffOn", EngineParam::ReverbOffOn},
    {"SnapAmpLevel", EngineParam::SnapAmpLevel},
    {"SnapEnvDecay", EngineParam::SnapEnvDecay},
    {"SnapPitchAmt", EngineParam::SnapPitchAmt},
    {"TransistorDistLoad", EngineParam::TransistorDistLoad},
};

namespace
{
constexpr const char* kPresetFileHeader =
    "<Company>Vorn Audio</Company><Product>Thudwerk</Product><Version>1.0.0</Version>";

std::string OpeningTag(const char* name)
{
  return std::string("<") + name + ">";
}

std::string ClosingTag(const char* name)
{
  return std::string("</") + name + ">";
}

bool IsSpace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Beyond the float range the nearest value is an infinity; the cast alone
// would be undefined there.
double NearestFloat(double value)
{
  constexpr double kFloatMax = std::numeric_limits<float>::max();
  if (value > kFloatMax) return std::numeric_limits<double>::infinity();
  if (value < -kFloatMax) return -std::numeric_limits<double>::infinity();
  return static_cast<double>(static_cast<float>(value));
}
} // namespace

std::string FormatPresetValue(double value)
{
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << value;
  return text.str();
}

std::string PresetFileText(const double (&values)[kPresetFileParams])
{
  std::string text(kPresetFileHeader);
  for (int i = 0; i < kPresetFileParams; ++i)
  {
    const char* name = kPresetFileTags[i].name;
    text += OpeningTag(name) + FormatPresetValue(values[i]) + ClosingTag(name);
  }
  return text;
}

bool ParsePresetValue(const std::string& text, double& value)
{
  const char* first = text.data();
  const char* last = first + text.size();
  while (first != last && IsSpace(*first))
    ++first;
  // from_chars takes a minus sign only; a plus sign is as good as none, but
  // not in front of another sign.
  if (first != last && *first == '+')
  {
    ++first;
    if (first != last && (*first == '+' || *first == '-')) return false;
  }
  double parsed = 0.0;
  const std::from_chars_result result = std::from_chars(first, last, parsed);
  if (result.ec != std::errc() || std::isnan(parsed)) return false;
  value = NearestFloat(parsed);
  return true;
}

PresetFileValues ParsePresetLine(const std::string& line)
{
  PresetFileValues values;
  for (int i = 0; i < kPresetFileParams; ++i)
  {
    const std::string opening = OpeningTag(kPresetFileTags[i].name);
    const size_t open = line.find(opening);
    const size_t close = line.find(ClosingTag(kPresetFileTags[i].name));
    if (open == std::string::npos || close == std::string::npos) continue;
    const size_t start = open + opening.size();
    const size_t length = close < start ? std::string::npos : close - start;
    values.found[i] = ParsePresetValue(line.substr(start, length), values.value[i]);
  }
  return values;
}

PresetFileRead ReadPresetLastLine(const std::string& path, std::string& lastLine)
{
  lastLine.clear();
  if (path.empty()) return PresetFileRead::kNotOpened;
  UniqueFile file(OpenFileUtf8(path, "rb"));
  if (!file) return PresetFileRead::kNotOpened;
  std::string text;
  char buffer[4096];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0)
  {
    if (text.size() + count > kMaxPresetFileBytes) return PresetFileRead::kTooLarge;
    text.append(buffer, count);
  }
  // Reading a folder opened on some systems fails here.
  if (std::ferror(file.get())) return PresetFileRead::kNotOpened;
  const size_t lineBreak = text.rfind('\n');
  lastLine = lineBreak == std::string::npos ? text : text.substr(lineBreak + 1);
  return lastLine.empty() ? PresetFileRead::kEmptyLastLine : PresetFileRead::kRead;
}

std::size_t WriteToStream(const void* data, std::size_t size, std::FILE* file)
{
  return std::fwrite(data, 1, size, file);
}

bool WritePresetText(const std::string& path, const std::string& text, PresetBytesWriter write,
                     PresetFileReplacer replace)
{
  if (path.empty()) return false;
  const std::string target = ResolveWritableTarget(path);
  if (target.empty()) return false;
  RemoveLeftoverTempFiles(target);
  const TempFile temp = CreateTempFileBeside(target);
  if (!temp.file) return false;
  UniqueFile file(temp.file);
  const bool written =
      write(text.data(), text.size(), temp.file) == text.size() && FlushFileToDisk(temp.file);
  const bool closed = std::fclose(file.release()) == 0;
  if (written && closed && replace(target, temp.path)) return true;
  RemoveFileUtf8(temp.path);
  return false;
}
