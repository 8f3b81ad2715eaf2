#include "preset_file.h"
#include "preset_sandbox.h"

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace
{
// Root writes into read-only folders anyway; for the test's duration this
// thread acts on files as an ordinary user, whoever runs the tests.
class ActAsOrdinaryUser
{
public:
  ActAsOrdinaryUser() : mOld(static_cast<uid_t>(setfsuid(kNobody))) {}
  ~ActAsOrdinaryUser() { setfsuid(mOld); }

private:
  static constexpr uid_t kNobody = 65534;
  uid_t mOld;
};
} // namespace

TEST(PresetSaveReadOnly, AFolderThatCannotBeWrittenKeepsTheOldFile)
{
  PresetSandbox sandbox;
  ASSERT_TRUE(sandbox.Ready());
  const std::string folder = sandbox.PresetFolder() + "User";
  const std::string path = sandbox.UserFile("kept.thudwerkpreset");
  ASSERT_TRUE(WriteFileBytes(path, "old bytes"));
  // Readable and writable by everyone, in a folder nobody may change, below
  // folders everyone may enter.
  const std::string root = std::filesystem::path(sandbox.Documents()).parent_path().string();
  ASSERT_EQ(chmod(root.c_str(), 0755), 0);
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  bool saved = true;
  {
    ActAsOrdinaryUser user;
    saved = WritePresetText(path, "new bytes");
  }
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadFileBytes(path), "old bytes");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);
}
