#include "utf8_file.h"
#include "wide_text_win.h"

#include <windows.h>

std::wstring WideFromUtf8(const std::string& text)
{
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(size_t(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], length);
  return wide;
}

std::string Utf8FromWide(const wchar_t* text)
{
  if (!text || !*text) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return std::string();
  std::string utf8(size_t(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], bytes, nullptr, nullptr);
  utf8.resize(size_t(bytes - 1));
  return utf8;
}

std::FILE* OpenFileUtf8(const std::string& path, const char* mode)
{
  if (path.empty() || !mode) return nullptr;
  return _wfopen(WideFromUtf8(path).c_str(), WideFromUtf8(mode).c_str());
}

bool RemoveFileUtf8(const std::string& path)
{
  return !path.empty() && DeleteFileW(WideFromUtf8(path).c_str()) != 0;
}
