// The presets in the host's browser: the preset-discovery factory lists the
// Factory and User folders, and preset-load loads a file from them as the
// editor's load prompt does.

#include "clap_fixture.h"
#include "preset_catalogue.h"
#include "preset_file.h"
#include "preset_sandbox.h"

#include <algorithm>
#include <filesystem>
#include <type_traits>

namespace
{
struct Found
{
  std::vector<std::string> fileTypes;
  std::vector<std::pair<std::string, std::string>> locations; // name, path
  std::vector<std::string> names;
  std::vector<std::string> keys;
  std::vector<uint32_t> flags;
  std::vector<std::string> pluginIds;
};

// An indexer and a metadata receiver that keep what they are told.
template <typename Table>
Found& Of(const Table* table)
{
  if constexpr (std::is_same_v<Table, clap_preset_discovery_indexer_t>)
    return *static_cast<Found*>(table->indexer_data);
  else
    return *static_cast<Found*>(table->receiver_data);
}

struct Indexer
{
  Found found;
  clap_preset_discovery_indexer_t indexer{
      kClapVersion,
      "test indexer",
      "VornAudio",
      "",
      "1",
      &found,
      [](auto* i, const clap_preset_discovery_filetype_t* type)
      {
        Of(i).fileTypes.push_back(type->file_extension);
        return true;
      },
      [](auto* i, const clap_preset_discovery_location_t* location)
      {
        Of(i).locations.emplace_back(location->name, location->location);
        return location->kind == kClapPresetDiscoveryLocationFile;
      },
      [](auto...) { return false; },
      [](auto...) -> const void* { return nullptr; }};
  clap_preset_discovery_metadata_receiver_t receiver{
      &found,
      [](auto...) {},
      [](auto* r, const char* name, const char* key)
      {
        Of(r).names.push_back(name);
        Of(r).keys.push_back(key ? key : "");
        return true;
      },
      [](auto* r, const clap_universal_plugin_id_t* id)
      { Of(r).pluginIds.push_back(std::string(id->abi) + ":" + id->id); },
      [](auto...) {},
      [](auto* r, uint32_t flags) { Of(r).flags.push_back(flags); },
      [](auto...) {},
      [](auto...) {},
      [](auto...) {},
      [](auto...) {},
      [](auto...) {}};
};

class ClapPresets : public ClapFixture
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(sandbox.Ready());
    // Copied last to first: the listing must not follow the disk's order.
    for (int index = kFirstUserPresetIndex - 1; index >= kFirstPresetIndex; --index)
    {
      char name[64];
      char relative[128];
      ASSERT_TRUE(PresetName(index, name, sizeof(name)));
      ASSERT_TRUE(PresetRelativePath(index, relative, sizeof(relative)));
      std::error_code error;
      std::filesystem::copy_file(std::string(THUDWERK_PRESET_SOURCE_DIR) + "/" + relative,
                                 sandbox.FactoryFile(name), error);
      ASSERT_FALSE(error) << relative;
    }
    const double values[kPresetFileParams] = {0.5, 0.01, 0.3, 0.7, 0.25, 1, 0.6, 0.2, 0.4, 0.9};
    ASSERT_TRUE(WriteFileBytes(sandbox.UserFile("My Kick"), PresetFileText(values)));
  }

  PresetSandbox sandbox;
};

TEST_F(ClapPresets, DiscoveryListsTheFactoryPresetsInCatalogueOrderAndTheUsersOwn)
{
  const clap_preset_discovery_factory_t* factory = ThudwerkModule().PresetDiscoveryFactory();
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(factory->count(factory), 1u);
  Indexer indexer;
  const clap_preset_discovery_provider_t* provider =
      factory->create(factory, &indexer.indexer, factory->get_descriptor(factory, 0)->id);
  ASSERT_NE(provider, nullptr);
  ASSERT_TRUE(provider->init(provider));
  EXPECT_EQ(indexer.found.fileTypes, std::vector<std::string>{"thudwerkpreset"});
  ASSERT_EQ(indexer.found.locations.size(), 2u);
  for (const auto& location : indexer.found.locations)
    ASSERT_TRUE(provider->get_metadata(provider, kClapPresetDiscoveryLocationFile,
                                       location.second.c_str(), &indexer.receiver));
  provider->destroy(provider);

  std::vector<std::string> expected;
  for (int index = kFirstPresetIndex; index < kFirstUserPresetIndex; ++index)
  {
    char name[64];
    PresetName(index, name, sizeof(name));
    expected.push_back(name);
  }
  expected.push_back("My Kick");
  EXPECT_EQ(indexer.found.names, expected);
  ASSERT_EQ(indexer.found.flags.size(), 47u);
  EXPECT_EQ(indexer.found.flags.front(), kClapPresetDiscoveryIsFactoryContent);
  EXPECT_EQ(indexer.found.flags.back(), kClapPresetDiscoveryIsUserContent);
  EXPECT_EQ(indexer.found.keys.back(), "My Kick.thudwerkpreset");
  EXPECT_EQ(indexer.found.pluginIds.front(), "clap:com.vornaudio.thudwerk");
}

TEST_F(ClapPresets, PresetLoadSetsTheFilesSoundAndTellsTheHost)
{
  ClapInstance& plug = NewInstance();
  const auto& load = Ext<clap_plugin_preset_load_t>(plug, kClapExtPresetLoad);
  const std::string userFolder = sandbox.PresetFolder() + "User";
  host.ClearRecord();
  ASSERT_TRUE(load.from_location(plug.Plugin(), kClapPresetDiscoveryLocationFile,
                                 userFolder.c_str(), "My Kick.thudwerkpreset"));
  std::string line;
  ASSERT_EQ(ReadPresetLastLine(sandbox.UserFile("My Kick"), line), PresetFileRead::kRead);
  const PresetFileValues sound = ParsePresetLine(line);
  for (int i = 0; i < kPresetFileParams; ++i)
    EXPECT_EQ(Value(plug, clap_id(kPresetFileTags[i].paramIdx)), sound.value[i])
        << kPresetFileTags[i].name;
  EXPECT_EQ(host.GetRecord().presetsLoaded, 1);
  EXPECT_GE(host.GetRecord().rescans, 1);

  EXPECT_FALSE(load.from_location(plug.Plugin(), kClapPresetDiscoveryLocationFile,
                                  (userFolder + "/Missing.thudwerkpreset").c_str(), nullptr));
  EXPECT_EQ(host.GetRecord().presetErrors, 1);
}
} // namespace
