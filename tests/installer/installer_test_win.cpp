// The Windows installer run as users and deployment scripts run it: silently,
// on the machine itself. It installs into and removes from the system it
// runs on, so scripts/test-installer.sh runs it in a fresh Wine prefix only.

#include "clap_events.h"
#include "clap_host.h"
#include "clap_instance.h"
#include "clap_module.h"
#include "common_documents.h"
#include "kick_engine.h"
#include "preset_catalogue.h"
#include "preset_file.h"
#include "preset_sandbox.h"
#include "thudwerk_fixture.h"
#include "vst2_test_host.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

namespace
{
namespace fs = std::filesystem;
using namespace Steinberg;

const std::string kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Thudwerk";
const std::string kProductKey = "Software\\VornAudio\\Thudwerk";

std::string ShellFolder(int csidl)
{
  char path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

const std::string kCommonFiles = ShellFolder(CSIDL_PROGRAM_FILES_COMMON);
const std::string kVst3Bundle = kCommonFiles + "\\VST3\\Thudwerk.vst3";
const std::string kVst2Folder = kCommonFiles + "\\VST2";
const std::string kVst2Plugin = kVst2Folder + "\\Thudwerk.dll";
const std::string kVst3Module = kVst3Bundle + "\\Contents\\x86_64-win\\Thudwerk.vst3";
const std::string kClapFolder = kCommonFiles + "\\CLAP";
const std::string kClapPlugin = kClapFolder + "\\Thudwerk.clap";
const std::string kProgramFolder = ShellFolder(CSIDL_PROGRAM_FILES) + "\\VornAudio\\Thudwerk";
const std::string kUninstaller = kProgramFolder + "\\Uninstall Thudwerk.exe";

// The preset folder as the plug-ins find it.
std::string Presets(const std::string& relative = "")
{
  return GetCommonDocumentsFolder() + "/VornAudio/Thudwerk/Presets/" + relative;
}

std::string FactoryRelative(int index)
{
  char relative[128] = {};
  EXPECT_TRUE(PresetRelativePath(index, relative, sizeof(relative)));
  return relative;
}

// The program's exit code; the command interpreter drops the outer quotes.
int RunProgram(const std::string& commandLine)
{
  return std::system(("\"" + commandLine + "\"").c_str());
}

int Install(const std::string& options = "")
{
  return RunProgram("\"" + ToNativeSeparators(THUDWERK_INSTALLER) + "\" /S" + options);
}

// A text value under HKLM; empty when absent.
std::string RegistryText(const std::string& key, const char* name)
{
  char text[512] = {};
  DWORD size = sizeof(text);
  RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

// A value of the Apps & features entry; empty, or 0, when absent.
std::string UninstallText(const char* name)
{
  return RegistryText(kUninstallKey, name);
}

DWORD UninstallNumber(const char* name)
{
  DWORD number = 0;
  DWORD size = sizeof(number);
  RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &number,
               &size);
  return number;
}

// Polls for up to half a minute: a loaded CI machine runs Wine slowly.
bool WaitFor(const std::function<bool()>& done)
{
  for (int tries = 0; tries < 300 && !done(); ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return done();
}

// As the Apps & features entry runs it: the uninstaller hands over to a copy
// of itself and returns at once; the copy removes the entry last.
void Uninstall()
{
  ASSERT_EQ(RunProgram("\"" + kUninstaller + "\" /S"), 0);
  ASSERT_TRUE(WaitFor([] { return UninstallText("DisplayName").empty(); }));
}

// Run in place (_?=) so its exit code is the uninstaller's own.
int UninstallInPlace()
{
  return RunProgram("\"" + kUninstaller + "\" /S _?=" + kProgramFolder);
}

// Every file and folder below a folder: a hash of each file's bytes, an
// empty text for a folder.
std::map<std::string, std::string> Tree(const std::string& folder)
{
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    tree[entry.path().string()] =
        entry.is_directory()
            ? ""
            : std::to_string(std::hash<std::string>{}(ReadFileBytes(entry.path().string())));
  return tree;
}

PresetFileValues FileValues(const std::string& path)
{
  std::string line;
  EXPECT_EQ(ReadPresetLastLine(path, line), PresetFileRead::kRead) << path;
  return ParsePresetLine(line);
}

// The VST3 fixture, loading the installed module once it is there.
class Installer : public ThudwerkTest
{
protected:
  void SetUp() override
  {
    ASSERT_NE(std::getenv("THUDWERK_FRESH_PREFIX"), nullptr) << "run by scripts/test-installer.sh";
    fs::remove_all(GetCommonDocumentsFolder() + "/VornAudio");
  }

  // What a failed installation must not leave behind.
  void ExpectNothingInstalled()
  {
    EXPECT_FALSE(fs::exists(kVst3Bundle));
    EXPECT_FALSE(fs::exists(kVst2Plugin));
    EXPECT_FALSE(fs::exists(kClapFolder));
    EXPECT_FALSE(fs::exists(kUninstaller));
    EXPECT_FALSE(fs::is_directory(Presets()));
    EXPECT_EQ(UninstallText("DisplayName"), "");
  }

  // Steps the selector forward once in a fresh instance of each installed
  // plug-in and waits (processing, as a host keeps doing) until it holds the
  // sound of the first catalogue preset; then unloads them.
  void ExpectForwardStepLoads(const PresetFileValues& sound)
  {
    const auto holdsSound = [&](const std::function<double(int)>& value)
    {
      for (int i = 0; i < kPresetFileParams; ++i)
        if (value(kPresetFileTags[i].paramIdx) != sound.value[i]) return false;
      return true;
    };

    Vst2TestHost vst2(kVst2Plugin);
    AEffect* effect = vst2.InstantiateAndStart(44100.0, 256);
    ASSERT_NE(effect, nullptr) << vst2.Library().LoadError();
    // The button's press and, a block later, its release.
    AudioBuffers<float> buffers(2, 2, 256);
    effect->setParameter(effect, EngineParam::PresetForward, 1.0f);
    vst2.ProcessReplacing(effect, buffers, 256);
    effect->setParameter(effect, EngineParam::PresetForward, 0.0f);
    EXPECT_TRUE(WaitFor(
        [&]
        {
          vst2.ProcessReplacing(effect, buffers, 256);
          vst2.Dispatch(effect, effEditIdle);
          return holdsSound([&](int i) { return double(effect->getParameter(effect, i)); });
        }))
        << "VST2";

    Load(BundleModulePath(kVst3Bundle, "Thudwerk"));
    Prepare(Vst::kSample32, 256);
    ProcessBlock block(Vst::kSample32, {2}, {2}, 256);
    // The button's press and, a block later, its release.
    block.Changes().Add(EngineParam::PresetForward, 0, 1.0);
    processor->process(block.Data(256));
    block.Changes().Clear();
    block.Changes().Add(EngineParam::PresetForward, 0, 0.0);
    EXPECT_TRUE(WaitFor(
        [&]
        {
          processor->process(block.Data(256));
          block.Changes().Clear();
          return holdsSound([&](int i) { return controller->getParamNormalized(Vst::ParamID(i)); });
        }))
        << "VST3";
    component->terminate();
    component = nullptr;
    processor = nullptr;
    controller = nullptr;
    module.reset();

    std::string error;
    const std::unique_ptr<ClapModule> clapModule = ClapModule::Load(kClapPlugin, &error);
    ASSERT_TRUE(clapModule) << error;
    ClapHost clapHost;
    const std::unique_ptr<ClapInstance> clap =
        ClapInstance::Create(*clapModule, clapHost, nullptr, &error);
    ASSERT_TRUE(clap) << error;
    ASSERT_TRUE(clap->Activate(44100.0, 1, 256) && clap->StartProcessing());
    const auto* params = clap->Get<clap_plugin_params_t>(kClapExtParams);
    ASSERT_NE(params, nullptr);
    std::vector<float> left(256), right(256);
    ClapInputEvents events;
    ClapOutputEvents told;
    // The button's press and, a block later, its release.
    events.AddParamValue(0, EngineParam::PresetForward, 1.0);
    clap->Process(256, left.data(), right.data(), events, told);
    events.Clear();
    events.AddParamValue(0, EngineParam::PresetForward, 0.0);
    EXPECT_TRUE(WaitFor(
        [&]
        {
          clap->Process(256, left.data(), right.data(), events, told);
          events.Clear();
          told.Clear();
          clapHost.RunRequestedCallback();
          return holdsSound(
              [&](int i)
              {
                double value = -1.0;
                params->get_value(clap->Plugin(), clap_id(i), &value);
                return value;
              });
        }))
        << "CLAP";
  }
};

TEST_F(Installer, InstallsUsesUpgradesAndUninstallsKeepingUserPresets)
{
  ASSERT_EQ(Install(), 0);
  const std::string installedModule = BundleModulePath(kVst3Bundle, "Thudwerk");
  EXPECT_EQ(ReadFileBytes(installedModule), ReadFileBytes(THUDWERK_VST3_BUNDLE));
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator(kVst3Bundle),
                          fs::recursive_directory_iterator()),
            3)
      << "Contents, x86_64-win and the module";
  EXPECT_EQ(ReadFileBytes(kVst2Plugin), ReadFileBytes(THUDWERK_VST2_PLUGIN_PATH));
  EXPECT_EQ(ReadFileBytes(kClapPlugin), ReadFileBytes(THUDWERK_CLAP_PLUGIN_PATH));
  for (int index = kFirstPresetIndex; index < kFirstUserPresetIndex; ++index)
    EXPECT_EQ(ReadFileBytes(Presets(FactoryRelative(index))),
              ReadFileBytes(THUDWERK_PRESET_SOURCE_DIR "/" + FactoryRelative(index)));
  EXPECT_TRUE(fs::is_empty(Presets("User")));
  EXPECT_EQ(UninstallText("DisplayName"), "Thudwerk");
  EXPECT_EQ(UninstallText("Publisher"), "VornAudio");
  EXPECT_EQ(UninstallText("DisplayVersion"), THUDWERK_VERSION);
  EXPECT_GE(
      UninstallNumber("EstimatedSize"),
      (fs::file_size(installedModule) + fs::file_size(kVst2Plugin) + fs::file_size(kClapPlugin)) /
          1024);

  ExpectForwardStepLoads(FileValues(Presets(FactoryRelative(kFirstPresetIndex))));

  // A preset saved into the first user slot, as the editor's save writes it.
  const double values[kPresetFileParams] = {0.9, 0, 0.7, 0.2, 0.8, 1, 0.5, 0.4, 0.3, 0.6};
  const std::string userPreset = Presets("User/USR - Thudwerk User Preset 001.thudwerkpreset");
  ASSERT_TRUE(WritePresetText(userPreset, PresetFileText(values)));

  {
    const PluginLibrary heldByAHost(kVst2Plugin);
    ASSERT_TRUE(heldByAHost.IsLoaded());
    EXPECT_EQ(Install(), 2) << "upgrade while the plug-in is in use";
  }
  ASSERT_EQ(Install(), 0) << "upgrade";
  EXPECT_EQ(ReadFileBytes(userPreset), PresetFileText(values));
  EXPECT_EQ(ReadFileBytes(kVst2Plugin), ReadFileBytes(THUDWERK_VST2_PLUGIN_PATH));

  Uninstall();
  EXPECT_FALSE(fs::exists(kVst3Bundle));
  EXPECT_FALSE(fs::exists(kVst2Plugin));
  EXPECT_FALSE(fs::exists(kClapFolder)) << "made by the installer, left empty";
  EXPECT_FALSE(fs::exists(Presets("Factory")));
  EXPECT_FALSE(fs::exists(kProgramFolder));
  EXPECT_EQ(ReadFileBytes(userPreset), PresetFileText(values));
}

TEST_F(Installer, RefusesUnusableFoldersAndInstallsNothing)
{
  const std::string blocker = GetCommonDocumentsFolder() + "/VornAudio";
  ASSERT_TRUE(WriteFileBytes(blocker, "in the way"));
  EXPECT_EQ(Install(), 2) << "documents folder";
  ExpectNothingInstalled();
  fs::remove(blocker);

  const std::string file = ShellFolder(CSIDL_PROGRAM_FILES) + "\\in the way";
  ASSERT_TRUE(WriteFileBytes(file, "in the way"));
  EXPECT_EQ(Install(" /D=" + file + "\\VST2"), 2) << "VST2 folder";
  ExpectNothingInstalled();
  EXPECT_EQ(ReadFileBytes(file), "in the way");
}

TEST_F(Installer, LeavesAFormatOutAndUninstallsWhatIsLeftAfterManualDeletion)
{
  const std::string vst2Folder = ShellFolder(CSIDL_PROGRAM_FILES) + "\\My Plug-ins";
  ASSERT_EQ(Install(" /NOVST3 /D=" + vst2Folder), 0);
  EXPECT_FALSE(fs::exists(kVst3Bundle));
  EXPECT_TRUE(fs::exists(vst2Folder + "\\Thudwerk.dll"));
  fs::remove_all(vst2Folder);
  fs::remove_all(Presets("Factory"));
  EXPECT_EQ(UninstallInPlace(), 0);
  EXPECT_EQ(UninstallText("DisplayName"), "");
  EXPECT_TRUE(fs::is_directory(Presets("User")));
}

// A VST2 folder is resolved before anything is checked or made in it: a
// write check that took "Q:\sandbox\.." for a folder of its own once removed
// the whole drive.
TEST_F(Installer, ResolvesTheVst2FolderAndTouchesNothingElseOnTheDrive)
{
  const char* drive = std::getenv("THUDWERK_SANDBOX_DRIVE");
  ASSERT_NE(drive, nullptr) << "run by scripts/test-installer.sh";
  const std::string root = drive;
  ASSERT_TRUE(fs::create_directories(root + "sandbox\\empty"));
  ASSERT_TRUE(WriteFileBytes(root + "sandbox\\notes.txt", "notes"));
  const auto before = Tree(root);

  const std::pair<std::string, std::string> typedAndResolved[] = {
      {root + "sandbox\\..\\VST2", root + "VST2"},
      {root + "sandbox\\.\\VST2\\", root + "sandbox\\VST2"},
      {root + "sandbox\\empty\\..", root + "sandbox"},
      // Refused: drive roots, and paths relative to the current folder or drive.
      {root, ""},
      {root + "sandbox\\..", ""},
      {root + "sandbox\\..\\..\\..", ""},
      {"VST2", ""},
      {root.substr(0, 2) + "VST2", ""},
      {"\\\\?\\" + root + "x\\..\\VST2", ""},
  };
  for (const auto& [typed, resolved] : typedAndResolved)
  {
    SCOPED_TRACE(typed);
    auto expected = before;
    if (!resolved.empty())
    {
      expected.emplace(resolved, "");
      expected[resolved + "\\Thudwerk.dll"] =
          std::to_string(std::hash<std::string>{}(ReadFileBytes(THUDWERK_VST2_PLUGIN_PATH)));
    }
    EXPECT_EQ(Install(" /D=" + typed), resolved.empty() ? 2 : 0);
    EXPECT_EQ(Tree(root), expected);
    EXPECT_EQ(RegistryText(kProductKey, "VST2Folder"), resolved);
    if (resolved.empty())
      ExpectNothingInstalled();
    else
      EXPECT_EQ(UninstallInPlace(), 0);
    // What uninstalling in place, keeping the User folder, leaves.
    std::error_code unlessHeldBefore;
    fs::remove(resolved, unlessHeldBefore);
    fs::remove_all(kProgramFolder);
    fs::remove_all(GetCommonDocumentsFolder() + "/VornAudio");
  }
}

// Neither the installer nor the uninstaller goes ahead while a host holds a
// plug-in open: the file would stay behind for hosts to find.
TEST_F(Installer, RefusesWhileAHostHoldsAPluginOpenAndChangesNothing)
{
  const std::pair<std::string, std::string> installOptionsAndHeld[] = {
      {"", kVst2Plugin}, // no options: uninstall
      {"", kVst3Module},         {"", kClapPlugin},         {" /NOVST2", kVst2Plugin},
      {" /NOVST3", kVst3Module}, {" /NOCLAP", kClapPlugin},
  };
  for (const auto& [options, held] : installOptionsAndHeld)
  {
    SCOPED_TRACE(options + " holding " + held);
    ASSERT_EQ(Install(), 0);
    {
      const PluginLibrary heldByAHost(held);
      ASSERT_TRUE(heldByAHost.IsLoaded());
      EXPECT_EQ(options.empty() ? UninstallInPlace() : Install(options), 2);
      EXPECT_EQ(UninstallText("DisplayName"), "Thudwerk");
      EXPECT_EQ(RegistryText(kProductKey, "VST2Folder"), kVst2Folder);
      EXPECT_TRUE(fs::exists(kVst2Plugin) && fs::exists(kVst3Module) && fs::exists(kClapPlugin) &&
                  fs::exists(Presets(FactoryRelative(kFirstPresetIndex))));
    }
    ASSERT_EQ(UninstallInPlace(), 0) << "once the host let go";
    EXPECT_EQ(UninstallText("DisplayName"), "");
    EXPECT_FALSE(fs::exists(kVst2Plugin) || fs::exists(kVst3Bundle) || fs::exists(kClapFolder));
  }
}

// A reinstallation without a format removes that format's earlier file, so
// hosts never find two versions side by side. The CLAP folder, shared with
// other vendors, goes only when the installer made it and it is left empty:
// what was there before (another plug-in, or the empty folder itself) stays,
// also after uninstalling.
TEST_F(Installer, ReinstallingWithoutAFormatRemovesItsEarlierFile)
{
  const struct
  {
    std::string option, removed, kept, vst2Folder, foreign;
  } cases[] = {
      {" /NOVST2", kVst2Plugin, kVst3Module, "", ""},
      {" /NOVST3", kVst3Bundle, kVst2Plugin, kVst2Folder, ""},
      {" /NOCLAP", kClapFolder, kVst3Module, kVst2Folder, ""},
      {" /NOCLAP", kClapPlugin, kClapFolder + "\\Other.clap", kVst2Folder,
       kClapFolder + "\\Other.clap"},
      {" /NOCLAP", kClapPlugin, kClapFolder, kVst2Folder, kClapFolder},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.option + " " + c.foreign);
    if (!c.foreign.empty())
    {
      ASSERT_TRUE(fs::create_directories(kClapFolder));
      if (c.foreign != kClapFolder)
      {
        ASSERT_TRUE(WriteFileBytes(c.foreign, "other"));
      }
    }
    ASSERT_EQ(Install(), 0);
    ASSERT_EQ(Install(c.option), 0);
    EXPECT_FALSE(fs::exists(c.removed));
    EXPECT_TRUE(fs::exists(c.kept));
    EXPECT_EQ(RegistryText(kProductKey, "VST2Folder"), c.vst2Folder);
    ASSERT_EQ(UninstallInPlace(), 0);
    EXPECT_EQ(fs::exists(c.foreign), !c.foreign.empty());
    std::error_code absent;
    fs::remove_all(kClapFolder, absent);
  }
}
} // namespace
