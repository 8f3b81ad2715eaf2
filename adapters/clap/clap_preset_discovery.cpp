#include "clap_preset_discovery.h"

#include "clap_descriptor.h"
#include "common_documents.h"
#include "preset_catalogue.h"
#include "preset_file.h"
#include "preset_paths.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace
{
constexpr const char* kProviderId = "com.vornaudio.thudwerk.presets";
constexpr const char* kFactoryFolder = "Factory";
constexpr const char* kUserFolder = "User";

const clap_preset_discovery_provider_descriptor_t kProviderDescriptor = {
    kClapVersion, kProviderId, "Thudwerk presets", "VornAudio"};

std::string PresetRoot()
{
  return PresetFolder(GetCommonDocumentsFolder());
}

std::string Utf8(const fs::path& path)
{
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool IsPresetFile(const fs::path& path)
{
  return path.extension() == std::string(".") + kPresetFileExtension;
}

// One preset for the host: its name, the key inside its folder (empty for
// a single file) and whether it came with the instrument.
void DescribePreset(const clap_preset_discovery_metadata_receiver_t* receiver,
                    const std::string& path, const char* loadKey, bool factory)
{
  if (!receiver->begin_preset(receiver, PresetDisplayName(path).c_str(), loadKey)) return;
  const clap_universal_plugin_id_t plugin = {"clap", kThudwerkClapId};
  receiver->add_plugin_id(receiver, &plugin);
  receiver->set_flags(receiver, factory ? kClapPresetDiscoveryIsFactoryContent
                                        : kClapPresetDiscoveryIsUserContent);
}

// The preset files of a folder: those of the catalogue first, in its order,
// then the others by name.
std::vector<std::string> FolderPresetNames(const fs::path& folder)
{
  std::vector<std::string> catalogued;
  const std::string folderName = Utf8(folder.filename());
  for (int index = kFirstPresetIndex; index <= kLastPresetIndex; ++index)
  {
    char relative[256];
    if (!PresetRelativePath(index, relative, sizeof(relative))) continue;
    const char* slash = std::strchr(relative, '/');
    if (!slash || folderName != std::string(relative, static_cast<size_t>(slash - relative)))
      continue;
    std::error_code error;
    if (fs::is_regular_file(folder / fs::u8path(slash + 1), error)) catalogued.push_back(slash + 1);
  }
  std::vector<std::string> others;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error))
  {
    std::error_code kind;
    if (!entry->is_regular_file(kind) || !IsPresetFile(entry->path())) continue;
    const std::string name = Utf8(entry->path().filename());
    if (std::find(catalogued.begin(), catalogued.end(), name) == catalogued.end())
      others.push_back(name);
  }
  std::sort(others.begin(), others.end());
  catalogued.insert(catalogued.end(), others.begin(), others.end());
  return catalogued;
}

// Paths and listings allocate; no exception may reach the host.
template <typename Work>
bool WithoutThrowing(Work work)
{
  try
  {
    return work();
  }
  catch (...)
  {
    return false;
  }
}

bool DeclareToIndexer(const clap_preset_discovery_provider_t* provider)
{
  const auto* indexer =
      static_cast<const clap_preset_discovery_indexer_t*>(provider->provider_data);
  const clap_preset_discovery_filetype_t fileType = {"Thudwerk preset", "A Thudwerk sound",
                                                     kPresetFileExtension};
  if (!indexer->declare_filetype(indexer, &fileType)) return false;
  const std::string root = PresetRoot();
  const std::string factory = root + kFactoryFolder;
  const std::string user = root + kUserFolder;
  const clap_preset_discovery_location_t locations[] = {
      {kClapPresetDiscoveryIsFactoryContent, "Factory", kClapPresetDiscoveryLocationFile,
       factory.c_str()},
      {kClapPresetDiscoveryIsUserContent, "User", kClapPresetDiscoveryLocationFile, user.c_str()},
  };
  for (const auto& location : locations)
    if (!indexer->declare_location(indexer, &location)) return false;
  return true;
}

void ProviderDestroy(const clap_preset_discovery_provider_t* provider)
{
  delete provider;
}

bool DescribeLocation(const char* location,
                      const clap_preset_discovery_metadata_receiver_t* receiver)
{
  const fs::path path = fs::u8path(location);
  std::error_code error;
  if (fs::is_directory(path, error))
  {
    const bool factory = Utf8(path.filename()) == kFactoryFolder;
    for (const std::string& name : FolderPresetNames(path))
      DescribePreset(receiver, name, name.c_str(), factory);
    return true;
  }
  if (!fs::is_regular_file(path, error) || !IsPresetFile(path))
  {
    if (receiver->on_error) receiver->on_error(receiver, 0, "not a Thudwerk preset file");
    return false;
  }
  DescribePreset(receiver, location, nullptr,
                 Utf8(path.parent_path().filename()) == kFactoryFolder);
  return true;
}

bool ProviderGetMetadata(const clap_preset_discovery_provider_t*, uint32_t locationKind,
                         const char* location,
                         const clap_preset_discovery_metadata_receiver_t* receiver)
{
  if (locationKind != kClapPresetDiscoveryLocationFile || !location || !receiver) return false;
  return WithoutThrowing([&] { return DescribeLocation(location, receiver); });
}

bool ProviderInit(const clap_preset_discovery_provider_t* provider)
{
  return WithoutThrowing([&] { return DeclareToIndexer(provider); });
}

const void* ProviderGetExtension(const clap_preset_discovery_provider_t*, const char*)
{
  return nullptr;
}

uint32_t FactoryCount(const clap_preset_discovery_factory_t*)
{
  return 1;
}

const clap_preset_discovery_provider_descriptor_t*
FactoryDescriptor(const clap_preset_discovery_factory_t*, uint32_t index)
{
  return index == 0 ? &kProviderDescriptor : nullptr;
}

const clap_preset_discovery_provider_t*
FactoryCreate(const clap_preset_discovery_factory_t*,
              const clap_preset_discovery_indexer_t* indexer, const char* providerId)
{
  if (!indexer || !providerId || std::strcmp(providerId, kProviderId) != 0) return nullptr;
  try
  {
    // The indexer outlives the provider; init declares to it.
    return new clap_preset_discovery_provider_t{
        &kProviderDescriptor, const_cast<clap_preset_discovery_indexer_t*>(indexer),
        ProviderInit,         ProviderDestroy,
        ProviderGetMetadata,  ProviderGetExtension};
  }
  catch (...)
  {
    return nullptr;
  }
}

const clap_preset_discovery_factory_t kFactory = {FactoryCount, FactoryDescriptor, FactoryCreate};
} // namespace

const clap_preset_discovery_factory_t& ThudwerkPresetDiscoveryFactory()
{
  return kFactory;
}
