#include "file_replace.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>

TempFile CreateTempFileBeside(const std::string& target)
{
  // mkstemp would make the file private (0600); an exclusive create keeps
  // the permissions any new preset file gets.
  static std::atomic<unsigned> counter{0};
  const std::string stem = target + ".saving-" + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt)
  {
    const std::string path = stem + std::to_string(counter++);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
    {
      if (errno == EEXIST) continue;
      return {};
    }
    std::FILE* file = fdopen(fd, "wb");
    if (!file)
    {
      close(fd);
      unlink(path.c_str());
      return {};
    }
    return {file, path};
  }
  return {};
}

bool FlushFileToDisk(std::FILE* file)
{
  return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool ReplaceFileWith(const std::string& target, const std::string& temp)
{
  return rename(temp.c_str(), target.c_str()) == 0;
}
