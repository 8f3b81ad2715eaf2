#include "preset_sandbox.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace
{
constexpr const char* kVariable = "THUDWERK_DOCUMENTS_DIR";
}

PresetSandbox::PresetSandbox()
{
  const char* saved = std::getenv(kVariable);
  mHadVariable = saved != nullptr;
  if (saved) mSavedVariable = saved;

  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/thudwerk-presets-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) return;
  mOwnRoot = buffer.data();
  mDocuments = mOwnRoot + "/Documents";
  std::error_code error;
  std::filesystem::create_directories(PresetFolder() + "Factory", error);
  std::filesystem::create_directories(PresetFolder() + "User", error);
  mReady = !error && setenv(kVariable, mDocuments.c_str(), 1) == 0;
}

PresetSandbox::~PresetSandbox()
{
  if (mHadVariable)
    setenv(kVariable, mSavedVariable.c_str(), 1);
  else
    unsetenv(kVariable);
  std::error_code error;
  if (!mOwnRoot.empty()) std::filesystem::remove_all(mOwnRoot, error);
}
