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

void SetAge(const std::string& path, int seconds)
{
  const timespec then{std::time(nullptr) - seconds, 0};
  const timespec times[2] = {then, then};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

using PresetSaveTest = InstrumentTest;
} // namespace

TEST_F(PresetSaveTest, SavesKeepWhatTheUserOwns)
{
  static RefusedReplaceStore refusingStore;
  const struct
  {
    const char* chosen; // the prompt's answer, in User/
    const char* holder; // the file holding the preset: differs for a link
    mode_t mode;
    bool refuseReplace;
    bool saved;
    bool removesLeftovers;
  } cases[] = {
      {"Linked", "Shared", 0640, false, true, true},
      {"Group", "Group", 0660, false, true, true},
      {"Locked", "Locked", 0444, false, false, false},
      {"Held", "Held", 0644, true, false, true},
  };
  const std::string user = sandbox.PresetFolder() + "User/";
  // A crash's leftover, a save running now, and a name not ours.
  const std::string leftover = user + "Lost.thudwerkpreset.saving-4194305-0";
  const std::string running = user + "Busy.thudwerkpreset.saving-1-7";
  const std::string foreign = user + "notes.txt.saving-1-0";
  const SoundValues sound = {0.5, 0.125, 0.75, 1.0, 0.375, 1.0, 0.25, 0.625, 0.875, 0.0};
  SetSound(sound);
  const std::string oldText = "<BassAmpLevel>0.25</BassAmpLevel>";
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.chosen);
    const std::string chosen = sandbox.UserFile(c.chosen);
    const std::string holder = sandbox.UserFile(c.holder);
    ASSERT_TRUE(WriteFileBytes(holder, oldText));
    ASSERT_EQ(chmod(holder.c_str(), c.mode), 0);
    // Only root may give a file away; the save keeps whichever owner.
    ASSERT_EQ(chown(holder.c_str(), geteuid() == 0 ? 65534 : geteuid(), getegid()), 0);
    ASSERT_TRUE(chosen == holder ||
                symlink((std::string(c.holder) + ".thudwerkpreset").c_str(), chosen.c_str()) == 0);
    for (const std::string& temp : {leftover, running, foreign})
      ASSERT_TRUE(WriteFileBytes(temp, "partial"));
    SetAge(leftover, 2 * 60);
    SetAge(foreign, 2 * 60);
    struct stat before = {};
    ASSERT_EQ(stat(holder.c_str(), &before), 0);
    plug->UsePresetFileStore(c.refuseReplace ? static_cast<PresetFileStore&>(refusingStore)
                                             : SystemPresetFileStore());
    const std::string shownBefore = ShownName();
    const int prompts = gui->PromptCount();

    gui->QueueFileChoice(chosen);
    ClickRow(LayoutRow::kPresetSave);

    EXPECT_EQ(ReadFileBytes(holder), c.saved ? PresetFileText(sound) : oldText);
    EXPECT_EQ(ShownName(), c.saved ? c.chosen : shownBefore);
    // The file prompt, and a message naming the file when the save failed.
    EXPECT_EQ(gui->PromptCount() - prompts, c.saved ? 1 : 2);
    EXPECT_EQ(gui->LastMessage().find(chosen) != std::string::npos, !c.saved);
    struct stat after = {};
    ASSERT_EQ(stat(holder.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    struct stat link = {};
    ASSERT_EQ(lstat(chosen.c_str(), &link), 0);
    EXPECT_EQ(S_ISLNK(link.st_mode), chosen != holder);
    EXPECT_EQ(FileExists(leftover), !c.removesLeftovers);
    int temps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(user))
      temps += entry.path().filename().string().find(".saving-") != std::string::npos;
    EXPECT_EQ(temps, c.removesLeftovers ? 2 : 3) << "only the others' files are left";
  }
}
