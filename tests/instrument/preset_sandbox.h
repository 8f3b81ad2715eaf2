#pragma once

// A preset folder of the tests' own. The instrument finds its presets below
// the shared documents folder; tests must never touch a user's real one.
// Elsewhere than Windows the folder is a fresh temporary one named by
// THUDWERK_DOCUMENTS_DIR. On Windows (under Wine: inside the prefix) the
// system's common documents folder is used, and any VornAudio folder already
// there is moved aside for the test's duration and put back afterwards.
//
// Create the sandbox before the instrument: the instrument reads the folder
// when it first starts.

#include <string>

class PresetSandbox
{
public:
  PresetSandbox();
  ~PresetSandbox();
  PresetSandbox(const PresetSandbox&) = delete;
  PresetSandbox& operator=(const PresetSandbox&) = delete;

  bool Ready() const { return mReady; }
  // The documents folder the instrument sees, forward slashes.
  const std::string& Documents() const { return mDocuments; }
  // .../VornAudio/Thudwerk/Presets/ with Factory/ and User/ created.
  std::string PresetFolder() const;
  std::string FactoryFile(const std::string& name) const;
  std::string UserFile(const std::string& name) const;

private:
  std::string mDocuments;
  std::string mOwnRoot;    // what the destructor removes
  std::string mMovedAside; // an existing VornAudio folder, put back at the end
  std::string mSavedVariable;
  bool mHadVariable = false;
  bool mReady = false;
};

// Writes bytes to a file; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The whole file, or an empty string.
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
