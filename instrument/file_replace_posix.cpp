#include "file_replace.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <memory>

namespace
{
// As the system gives up on a chain of links (ELOOP).
constexpr int kMaxLinkHops = 40;

// Where a symbolic link points, relative targets taken from its folder;
// empty when it cannot be read.
std::string LinkDestination(const std::string& link)
{
  char buffer[PATH_MAX];
  const ssize_t length = readlink(link.c_str(), buffer, sizeof(buffer) - 1);
  if (length <= 0) return std::string();
  const std::string destination(buffer, size_t(length));
  return destination[0] == '/' ? destination : PathFolder(link) + destination;
}

// Gives the new file the old one's owner and permission bits. The owner
// first: changing it clears set-id bits. Only root may give a file to
// someone else, so anyone else keeps the file as their own.
bool KeepOwnerAndMode(int fd, const struct stat& old)
{
  const bool otherOwner = old.st_uid != geteuid() || old.st_gid != getegid();
  if (otherOwner && fchown(fd, old.st_uid, old.st_gid) != 0 && geteuid() == 0) return false;
  return fchmod(fd, old.st_mode & 07777) == 0;
}

struct DirCloser
{
  void operator()(DIR* folder) const { closedir(folder); }
};
} // namespace

std::string ResolveWritableTarget(const std::string& target)
{
  std::string path = target;
  struct stat status;
  for (int hop = 0;; ++hop)
  {
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT ? path : std::string();
    if (!S_ISLNK(status.st_mode)) break;
    if (hop == kMaxLinkHops) return std::string();
    path = LinkDestination(path);
    if (path.empty()) return std::string();
  }
  // Without any write bit the owner protected the file; root may write
  // anyway, but would still break that promise.
  const bool writeProtected = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (!S_ISREG(status.st_mode) || writeProtected || access(path.c_str(), W_OK) != 0)
    return std::string();
  return path;
}

TempFile CreateTempFileBeside(const std::string& target)
{
  // mkstemp would make the file private (0600); an exclusive create keeps
  // the permissions any new preset file gets.
  static std::atomic<unsigned> counter{0};
  struct stat old;
  const bool replacing = stat(target.c_str(), &old) == 0;
  for (int attempt = 0; attempt < 100; ++attempt)
  {
    const std::string path = TempFileName(target, static_cast<unsigned long>(getpid()), counter++);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
    {
      if (errno == EEXIST) continue;
      return {};
    }
    std::FILE* file = !replacing || KeepOwnerAndMode(fd, old) ? fdopen(fd, "wb") : nullptr;
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

void RemoveLeftoverTempFiles(const std::string& target)
{
  const std::string folder = PathFolder(target);
  const std::string extension = PathExtension(target);
  std::unique_ptr<DIR, DirCloser> listing(opendir(folder.empty() ? "." : folder.c_str()));
  if (!listing) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = readdir(listing.get()))
  {
    if (!IsTempFileName(entry->d_name, extension)) continue;
    const std::string path = folder + entry->d_name;
    struct stat status;
    if (lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        now - status.st_mtime >= kLeftoverTempAgeSeconds)
      unlink(path.c_str());
  }
}
