#include "preset_sandbox.h"

#include "common_documents.h"

#include <windows.h>

#include <filesystem>

PresetSandbox::PresetSandbox()
{
  mDocuments = GetCommonDocumentsFolder();
  if (mDocuments.empty()) return;
  const std::string root = mDocuments + "/VornAudio";
  std::error_code error;
  if (std::filesystem::exists(root, error))
  {
    const std::string aside = root + ".thudwerk-test-" + std::to_string(GetCurrentProcessId());
    std::filesystem::rename(root, aside, error);
    if (error) return;
    mMovedAside = aside;
  }
  mOwnRoot = root;
  std::filesystem::create_directories(PresetFolder() + "Factory", error);
  std::filesystem::create_directories(PresetFolder() + "User", error);
  mReady = !error;
}

PresetSandbox::~PresetSandbox()
{
  std::error_code error;
  if (!mOwnRoot.empty()) std::filesystem::remove_all(mOwnRoot, error);
  if (!mMovedAside.empty()) std::filesystem::rename(mMovedAside, mOwnRoot, error);
}
