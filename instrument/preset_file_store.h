#pragma once

#include "preset_file.h"

#include <string>

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
};

// The file system, through ReadPresetLastLine and WritePresetText. Lives as
// long as the process.
PresetFileStore& SystemPresetFileStore();
