#include "file_replace.h"

#include <cctype>

namespace
{
constexpr const char* kTempMark = ".saving-";

// Skips the digits from position; returns where they end.
size_t SkipDigits(const std::string& text, size_t position)
{
  while (position < text.size() && std::isdigit(static_cast<unsigned char>(text[position])))
    ++position;
  return position;
}

bool EndsWith(const std::string& text, size_t end, const std::string& suffix)
{
  return !suffix.empty() && end > suffix.size() &&
         text.compare(end - suffix.size(), suffix.size(), suffix) == 0;
}
} // namespace

std::string TempFileName(const std::string& target, unsigned long process, unsigned counter)
{
  return target + kTempMark + std::to_string(process) + "-" + std::to_string(counter);
}

bool IsTempFileName(const std::string& fileName, const std::string& extension)
{
  const size_t mark = fileName.rfind(kTempMark);
  if (mark == std::string::npos || !EndsWith(fileName, mark, extension)) return false;
  const size_t processStart = mark + std::char_traits<char>::length(kTempMark);
  const size_t processEnd = SkipDigits(fileName, processStart);
  if (processEnd == processStart || processEnd >= fileName.size() || fileName[processEnd] != '-')
    return false;
  const size_t counterEnd = SkipDigits(fileName, processEnd + 1);
  return counterEnd > processEnd + 1 && counterEnd == fileName.size();
}

std::string PathFolder(const std::string& path)
{
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string PathExtension(const std::string& path)
{
  const std::string name = path.substr(PathFolder(path).size());
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}
