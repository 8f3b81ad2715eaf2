#pragma once

// Replacing a file so that it is never left half written: the new content
// goes to a fresh file in the same folder, is flushed to the disk, and then
// takes the old file's name in one step. A disk that fills up, a crash or a
// killed host at any moment leaves either the old file or the new one.

#include <cstdio>
#include <string>

struct TempFile
{
  std::FILE* file = nullptr; // open for binary writing; null on failure
  std::string path;
};

// Creates a new, uniquely named file in the folder of target. Fails when
// the folder is missing or cannot be written.
TempFile CreateTempFileBeside(const std::string& target);

// Pushes the stream's buffers and the system's cache for it to the disk.
bool FlushFileToDisk(std::FILE* file);

// Gives temp the name target in one step, replacing an existing target.
bool ReplaceFileWith(const std::string& target, const std::string& temp);
