#pragma once

#include "preset_file.h"

#include <cstdint>
#include <string>

// What a cheap look at a file or folder tells of its content: size (files)
// and modification time, or that it is not there.
struct PresetFileStamp
{
  bool exists = false;
  std::uintmax_t size = 0;
  std::int64_t modified = 0;

  bool operator==(const PresetFileStamp& other) const
  {
    return exists == other.exists && size == other.size && modified == other.modified;
  }
};

// Where preset files are read from and written to: the one place a test,
// or a safer writer, replaces the file system for the preset library.
// Called outside the instance lock and never on the audio thread; an
// implementation may block on the disk but must be safe to call from any
// other thread.
class PresetFileStore
{
public:
  virtual ~PresetFileStore() = default;

  // As ReadPresetLastLine (preset_file.h).
  virtual PresetFileRead ReadLastLine(const std::string& path, std::string& lastLine) = 0;
  // As WritePresetText (preset_file.h).
  virtual bool WriteText(const std::string& path, const std::string& text) = 0;
  // How the file or folder looks now. A store that cannot tell answers the
  // same stamp always, so its files are read again only when asked to.
  virtual PresetFileStamp Stamp(const std::string& /*path*/) { return PresetFileStamp(); }
};

// The file system, through ReadPresetLastLine and WritePresetText. Lives as
// long as the process.
PresetFileStore& SystemPresetFileStore();
