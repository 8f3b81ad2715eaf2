#pragma once

// Files named by UTF-8 paths. Every path inside the program is UTF-8; on
// Windows the system's narrow file calls would read it in the ANSI code page
// and lose every name outside it, so these go through the wide calls there.

#include <cstdio>
#include <memory>
#include <string>

// As std::fopen; null on failure.
std::FILE* OpenFileUtf8(const std::string& path, const char* mode);

// Deletes a file (not a folder); false when it could not be deleted.
bool RemoveFileUtf8(const std::string& path);

struct FileCloser
{
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// Closes the file when dropped; release() it to see fclose's own result.
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;
