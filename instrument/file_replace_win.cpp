#include "file_replace.h"
#include "wide_text_win.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <vector>

namespace
{
// Where a link or junction finally leads; empty when it cannot be followed.
std::string FinalPath(const std::wstring& path)
{
  HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::string();
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()), 0);
  if (length >= buffer.size())
  {
    buffer.resize(length + 1);
    length = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()), 0);
  }
  CloseHandle(handle);
  return length > 0 && length < buffer.size() ? Utf8FromWide(buffer.data()) : std::string();
}

bool IsWritableFile(DWORD attributes)
{
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// 100-nanosecond steps of a FILETIME.
constexpr long long kFileTimeStepsPerSecond = 10000000;

long long FileTimeSteps(const FILETIME& time)
{
  return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}
} // namespace

std::string ResolveWritableTarget(const std::string& target)
{
  const std::wstring wide = WideFromUtf8(target);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? target : std::string();
  if (!IsWritableFile(attributes)) return std::string();
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return target;
  // A link: its destination is replaced, and must be writable too.
  const std::string destination = FinalPath(wide);
  if (destination.empty()) return std::string();
  const DWORD destinationAttributes = GetFileAttributesW(WideFromUtf8(destination).c_str());
  return destinationAttributes != INVALID_FILE_ATTRIBUTES && IsWritableFile(destinationAttributes)
             ? destination
             : std::string();
}

TempFile CreateTempFileBeside(const std::string& target)
{
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt)
  {
    const std::string path = TempFileName(target, GetCurrentProcessId(), counter++);
    // A new file only, so no other saver can take the same name.
    HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
    {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return {};
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    std::FILE* file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
    if (!file)
    {
      if (fd >= 0)
        _close(fd);
      else
        CloseHandle(handle);
      DeleteFileW(WideFromUtf8(path).c_str());
      return {};
    }
    return {file, path};
  }
  return {};
}

bool FlushFileToDisk(std::FILE* file)
{
  if (std::fflush(file) != 0) return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool ReplaceFileWith(const std::string& target, const std::string& temp)
{
  return MoveFileExW(WideFromUtf8(temp).c_str(), WideFromUtf8(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveLeftoverTempFiles(const std::string& target)
{
  const std::string folder = PathFolder(target);
  const std::string extension = PathExtension(target);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(WideFromUtf8(folder + "*.saving-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  do
  {
    const std::string name = Utf8FromWide(found.cFileName);
    const long long age = FileTimeSteps(now) - FileTimeSteps(found.ftLastWriteTime);
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTempFileName(name, extension) &&
        age >= kLeftoverTempAgeSeconds * kFileTimeStepsPerSecond)
      DeleteFileW(WideFromUtf8(folder + name).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}
