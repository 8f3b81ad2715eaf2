#include "instrument_fixture.h"
#include "preset_file.h"
#include "preset_file_store.h"
#include "preset_sandbox.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <vector>

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

namespace
{
constexpr const char* kOldText = "<BassAmpLevel>0.25</BassAmpLevel>";
constexpr mode_t kNoCheck = 0;
constexpr uid_t kOtherUser = 65534;

// The save as it is, except that the finished file never takes the
// preset's name, as when another program holds the old file.
class RefusedReplaceStore : public PresetFileStore
{
public:
  PresetFileRead ReadLastLine(const std::string& path, std::string& lastLine) override
  {
    return ReadPresetLastLine(path, lastLine);
  }
  bool WriteText(const std::string& path, const std::string& text) override
  {
    return WritePresetText(path, text, WriteToStream,
                           [](const std::string&, const std::string&) { return false; });
  }
};

// Sets a file's modification time a number of seconds back.
void Age(const std::string& path, int seconds)
{
  const timespec now{std::time(nullptr) - seconds, 0};
  const timespec times[2] = {now, now};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

struct SaveCase
{
  const char* what;
  // In User/: the file the prompt answers with, and the file really holding
  // the preset (differs for a link).
  const char* chosen;
  const char* holder;
  mode_t mode;
  bool refuseReplace;
  bool saved;
  // Files in User/ that must exist, or be gone, after the save.
  std::vector<std::string> kept;
  std::vector<std::string> removed;
};

class PresetSaveTest : public InstrumentTest
{
};
} // namespace

TEST_F(PresetSaveTest, SavesKeepWhatTheUserOwns)
{
  static RefusedReplaceStore refusingStore;
  const std::string user = sandbox.PresetFolder() + "User/";
  const std::string leftover = "Lost.thudwerkpreset.saving-4194305-0";
  const std::string running = "Busy.thudwerkpreset.saving-1-7";
  const std::string foreign = "notes.txt.saving-1-0";
  const SaveCase cases[] = {
      {"through a link",
       "Linked.thudwerkpreset",
       "Shared.thudwerkpreset",
       0640,
       false,
       true,
       {},
       {}},
      {"onto a group-writable file",
       "Group.thudwerkpreset",
       "Group.thudwerkpreset",
       0660,
       false,
       true,
       {},
       {}},
      {"onto a write-protected file",
       "Locked.thudwerkpreset",
       "Locked.thudwerkpreset",
       0444,
       false,
       false,
       {},
       {}},
      {"with the replace refused",
       "Held.thudwerkpreset",
       "Held.thudwerkpreset",
       kNoCheck,
       true,
       false,
       {},
       {}},
      {"beside leftovers of a crash",
       "Fresh.thudwerkpreset",
       "Fresh.thudwerkpreset",
       kNoCheck,
       false,
       true,
       {running, foreign},
       {leftover}},
  };
  const SoundValues sound = {0.5, 0.125, 0.75, 1.0, 0.375, 1.0, 0.25, 0.625, 0.875, 0.0};
  SetSound(sound);
  const std::string newText = PresetFileText(sound);
  for (const SaveCase& c : cases)
  {
    SCOPED_TRACE(c.what);
    const std::string chosen = user + c.chosen;
    const std::string holder = user + c.holder;
    ASSERT_TRUE(WriteFileBytes(holder, kOldText));
    if (c.mode != kNoCheck)
    {
      ASSERT_EQ(chmod(holder.c_str(), c.mode), 0);
    }
    if (chosen != holder)
    {
      ASSERT_EQ(symlink(c.holder, chosen.c_str()), 0);
    }
    for (const std::string& name : {leftover, running, foreign})
      ASSERT_TRUE(WriteFileBytes(user + name, "partial"));
    Age(user + leftover, 2 * 60);
    Age(user + foreign, 2 * 60);
    // Only root may give a file away; the save must keep whichever owner.
    if (geteuid() == 0)
    {
      ASSERT_EQ(chown(holder.c_str(), kOtherUser, kOtherUser), 0);
    }
    struct stat before
    {
    };
    ASSERT_EQ(stat(holder.c_str(), &before), 0);
    plug->UsePresetFileStore(c.refuseReplace ? static_cast<PresetFileStore&>(refusingStore)
                                             : SystemPresetFileStore());
    const int prompts = gui->PromptCount();
    const std::string shownBefore = ShownName();

    gui->QueueFileChoice(chosen);
    ClickRow(LayoutRow::kPresetSave);

    const std::string stem = std::filesystem::path(chosen).stem().string();
    EXPECT_EQ(ReadFileBytes(holder), c.saved ? newText : kOldText);
    EXPECT_EQ(ShownName(), c.saved ? stem : shownBefore);
    // The file prompt, then a message only when the save failed.
    EXPECT_EQ(gui->PromptCount() - prompts, c.saved ? 1 : 2);
    EXPECT_EQ(gui->LastMessage().find(chosen) != std::string::npos, !c.saved);
    struct stat after
    {
    };
    ASSERT_EQ(stat(holder.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    struct stat link
    {
    };
    ASSERT_EQ(lstat(chosen.c_str(), &link), 0);
    EXPECT_EQ(S_ISLNK(link.st_mode), chosen != holder);
    for (const std::string& name : c.kept)
      EXPECT_TRUE(FileExists(user + name)) << name;
    for (const std::string& name : c.removed)
      EXPECT_FALSE(FileExists(user + name)) << name;
    // Nothing of this save's own is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(user))
    {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name.find(".saving-") == std::string::npos || name == running ||
                  name == foreign || (name == leftover && c.removed.empty()))
          << name;
    }
  }
}
