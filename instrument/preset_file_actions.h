#pragma once

#include "preset_file.h"

#include <cstdint>
#include <string>

class PresetFileStore;

// What the preset parameters ask of the preset library's file side. They
// are collected under the instance lock (HandleParamChange may run on the
// audio thread) and done later, outside it. Requests made before they are
// done merge: the newest catalogue choice and the newest read win, a write
// asked twice runs once.
struct PresetRequests
{
  // Make the catalogue file of catalogueIndex the file the load prompt
  // proposes and the next read reads.
  bool selectCatalogue = false;
  int catalogueIndex = 0;
  // Read the load selector's file; readSequence tells the instrument
  // whether the values are still wanted when they arrive.
  bool read = false;
  std::uint64_t readSequence = 0;
  // Write the sound parameters to the save selector's file.
  bool write = false;
  // Read every catalogue file into memory again.
  bool refreshCache = false;

  bool Any() const { return selectCatalogue || read || write || refreshCache; }
};

// A preset file read for a request, not yet applied.
struct PresetFileLoad
{
  bool read = false;
  std::string path;
  PresetFileValues values;
};

// The file side of the preset library. The library (preset files, the
// editor's file selectors and name display) implements it and hands it to
// Thudwerk::AttachPresetFileActions.
class PresetFileActions
{
public:
  virtual ~PresetFileActions() = default;

  // Instance lock held: whether the change of PresetLoad or PresetSave in
  // progress is the one its selector reports right after its prompt (any
  // other change comes from the host).
  virtual bool IsLoadFromPrompt() const = 0;
  virtual bool IsSaveFromPrompt() const = 0;
  // Instance lock held: reads and writes go through store from now on.
  virtual void UseFileStore(PresetFileStore& store) = 0;
  // Never the audio thread, instance lock not held: sets the catalogue
  // path, writes, and reads the load selector's file when asked, outside
  // the lock, taking it only to look up paths and values. What was read is
  // returned for the instrument to apply.
  virtual PresetFileLoad Perform(const PresetRequests& requests) = 0;
  // Any thread: shows the name of a file that was loaded or saved.
  virtual void ShowPresetName(const std::string& path) = 0;
  // Any thread, allocates nothing and never blocks: shows the name of a
  // catalogue preset loaded from memory.
  virtual void ShowCataloguePresetName(int presetIndex) = 0;
};
