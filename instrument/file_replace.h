#pragma once

// Replacing a file so that it is never left half written: the new content
// goes to a fresh file in the same folder, is flushed to the disk, and then
// takes the old file's name in one step. A disk that fills up, a crash or a
// killed host at any moment leaves either the old file or the new one.
// Paths are UTF-8.

#include <cstdio>
#include <string>

// The file a save really replaces: the end of a chain of symbolic links
// (so a linked preset stays a link and the shared file changes), else the
// path itself. Empty when the target exists but the user may not write it
// (write-protected, read-only, or not a plain file).
std::string ResolveWritableTarget(const std::string& target);

struct TempFile
{
  std::FILE* file = nullptr; // open for binary writing; null on failure
  std::string path;
};

// Creates a new, uniquely named file (TempFileName) in the folder of target,
// with the permissions and owner of an existing target where the system
// allows. Fails when the folder is missing or cannot be written.
TempFile CreateTempFileBeside(const std::string& target);

// Pushes the stream's buffers and the system's cache for it to the disk.
bool FlushFileToDisk(std::FILE* file);

// Gives temp the name target in one step, replacing an existing target.
bool ReplaceFileWith(const std::string& target, const std::string& temp);

// Removes temporary files that an interrupted save left in the folder of
// target: only names TempFileName makes, and only ones untouched for
// kLeftoverTempAgeSeconds, so a save running now in another instance or
// process keeps its file.
void RemoveLeftoverTempFiles(const std::string& target);

// A save writes and renames within moments; a temporary file this old is
// not being written any more.
constexpr long long kLeftoverTempAgeSeconds = 60;

// Temporary file names: the target's name + ".saving-" + process + "-" +
// a counter. IsTempFileName is true only for such names made for a target
// with the given extension (".thudwerkpreset").
std::string TempFileName(const std::string& target, unsigned long process, unsigned counter);
bool IsTempFileName(const std::string& fileName, const std::string& extension);

// Shared by the platform parts: the folder part of a path (up to and with
// its last separator; empty for a bare name) and the extension of its file
// name (from its last dot; empty without one).
std::string PathFolder(const std::string& path);
std::string PathExtension(const std::string& path);
