#include "common_documents.h"
#include "preset_paths.h"

#include <gtest/gtest.h>

TEST(PresetPaths, CataloguePathsLieBelowThePresetFolder)
{
  EXPECT_EQ(PresetFolder("C:/Users/Public/Documents"),
            "C:/Users/Public/Documents/VornAudio/Thudwerk/Presets/");
  EXPECT_EQ(CataloguePresetPath("/docs", 2),
            "/docs/VornAudio/Thudwerk/Presets/Factory/EDM - 1990s Dance A.thudwerkpreset");
  EXPECT_EQ(CataloguePresetPath("/docs", 146),
            "/docs/VornAudio/Thudwerk/Presets/User/USR - Thudwerk User Preset 100.thudwerkpreset");
  for (int nothing : {0, -1, 147, 10000})
    EXPECT_EQ(CataloguePresetPath("/docs", nothing), "/docs/VornAudio/Thudwerk/Presets/");
  EXPECT_EQ(CataloguePresetPath("", 1),
            "/VornAudio/Thudwerk/Presets/Factory/WLCM - The Deep Diver.thudwerkpreset")
      << "an unknown documents folder leaves an empty base";
}

TEST(PresetPaths, PromptFolderHasNoTrailingSeparator)
{
  const std::string folder = PresetPromptFolder("/base");
  EXPECT_EQ(folder, ToNativeSeparators("/base/VornAudio/Thudwerk/Presets"));
  EXPECT_NE(folder.back(), '/');
  EXPECT_NE(folder.back(), '\\');
}

TEST(PresetPaths, DisplayNameDropsFolderAndLastExtension)
{
  EXPECT_EQ(PresetDisplayName("/a/b/EDM - 1990s Dance A.thudwerkpreset"), "EDM - 1990s Dance A");
  EXPECT_EQ(PresetDisplayName("C:\\Presets\\My.Kick.thudwerkpreset"), "My.Kick");
  EXPECT_EQ(PresetDisplayName("C:\\mixed/seps\\Kick.thudwerkpreset"), "Kick");
  EXPECT_EQ(PresetDisplayName("NoFolderNoExtension"), "NoFolderNoExtension");
  EXPECT_EQ(PresetDisplayName("/folder.with.dots/name"), "name");
  EXPECT_EQ(PresetDisplayName("/folder/.thudwerkpreset"), "");
  EXPECT_EQ(PresetDisplayName(""), "");
  EXPECT_EQ(PresetDisplayName("/folder/"), "");
}

TEST(PresetPaths, LongNamesKeep35CharactersAndAnEllipsis)
{
  const std::string name35(35, 'k');
  EXPECT_EQ(PresetDisplayName("/p/" + name35 + ".thudwerkpreset"), name35);
  const std::string name40 = "0123456789012345678901234567890123456789";
  const std::string shown = PresetDisplayName("/p/" + name40 + ".thudwerkpreset");
  EXPECT_EQ(shown, name40.substr(0, 35) + "...");
  EXPECT_EQ(shown.size(), 38u);
}

TEST(CommonDocuments, FolderUsesForwardSlashesWithoutTrailingOne)
{
  const std::string folder = GetCommonDocumentsFolder();
  EXPECT_EQ(folder.find('\\'), std::string::npos);
  EXPECT_TRUE(folder.size() <= 1 || folder.back() != '/') << folder;
}
