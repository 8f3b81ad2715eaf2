#include "common_documents.h"
#include "preset_sandbox.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>

namespace
{
// Sets environment variables for one test and puts the old values back.
class Environment
{
public:
  ~Environment()
  {
    for (const auto& [name, value] : mSaved)
    {
      if (value.first)
        setenv(name.c_str(), value.second.c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }
  void Set(const std::string& name, const char* value)
  {
    if (!mSaved.count(name))
    {
      const char* old = getenv(name.c_str());
      mSaved[name] = {old != nullptr, old ? old : ""};
    }
    if (value)
      setenv(name.c_str(), value, 1);
    else
      unsetenv(name.c_str());
  }

private:
  std::map<std::string, std::pair<bool, std::string>> mSaved;
};

class CommonDocumentsPosix : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    home = sandbox.Documents() + "/home";
    config = home + "/.config";
    std::filesystem::create_directories(config);
    env.Set("THUDWERK_DOCUMENTS_DIR", nullptr);
    env.Set("HOME", home.c_str());
    env.Set("XDG_CONFIG_HOME", nullptr);
  }

  PresetSandbox sandbox;
  Environment env;
  std::string home;
  std::string config;
};
} // namespace

TEST_F(CommonDocumentsPosix, ChosenFolderWinsWithoutTrailingSlash)
{
  env.Set("THUDWERK_DOCUMENTS_DIR", "/srv/shared/docs//");
  EXPECT_EQ(GetCommonDocumentsFolder(), "/srv/shared/docs");
}

TEST_F(CommonDocumentsPosix, HomeDocumentsWithoutXdgList)
{
  EXPECT_EQ(GetCommonDocumentsFolder(), home + "/Documents");
  env.Set("HOME", nullptr);
  EXPECT_EQ(GetCommonDocumentsFolder(), "");
}

TEST_F(CommonDocumentsPosix, XdgListNamesTheDocumentsFolder)
{
  ASSERT_TRUE(WriteFileBytes(config + "/user-dirs.dirs",
                             "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n"
                             "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n"));
  EXPECT_EQ(GetCommonDocumentsFolder(), home + "/Papiere");

  ASSERT_TRUE(WriteFileBytes(config + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/data/docs/\"\n"));
  EXPECT_EQ(GetCommonDocumentsFolder(), "/data/docs");
}

TEST_F(CommonDocumentsPosix, XdgConfigHomeIsHonoured)
{
  const std::string other = sandbox.Documents() + "/config";
  std::filesystem::create_directories(other);
  ASSERT_TRUE(WriteFileBytes(other + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/elsewhere\"\n"));
  env.Set("XDG_CONFIG_HOME", other.c_str());
  EXPECT_EQ(GetCommonDocumentsFolder(), "/elsewhere");
}

TEST_F(CommonDocumentsPosix, DisabledOrBrokenXdgEntriesFallBack)
{
  for (const char* list : {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "XDG_DOCUMENTS_DIR=\"relative\"\n",
                           "XDG_DOCUMENTS_DIR=\"$HOME/unterminated\n"})
  {
    ASSERT_TRUE(WriteFileBytes(config + "/user-dirs.dirs", list));
    EXPECT_EQ(GetCommonDocumentsFolder(), home + "/Documents") << list;
  }
}
