#pragma once

class PresetFileStore;

// What the preset parameters ask of the preset library's file side. They
// are collected under the instance lock (HandleParamChange may run on the
// audio thread) and done later, outside it. Requests made before they are
// done merge: the newest catalogue choice wins, a read or write asked twice
// runs once.
struct PresetRequests
{
  // Make the catalogue file of catalogueIndex the file the next read reads.
  bool selectCatalogue = false;
  int catalogueIndex = 0;
  // Read the load selector's file into the sound parameters.
  bool read = false;
  // Write the sound parameters to the save selector's file.
  bool write = false;

  bool Any() const { return selectCatalogue || read || write; }
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
  // Never the audio thread, instance lock not held: does what was asked,
  // reading and writing files outside the lock and taking it only to look
  // up paths and values and to apply what was read.
  virtual void Perform(const PresetRequests& requests) = 0;
};
